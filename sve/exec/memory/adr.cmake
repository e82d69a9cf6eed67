# ADR on packed doublewords (the other ADR forms run as kernels).
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/address_generation.cpp)
