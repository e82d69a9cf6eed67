# Kernels of ADR.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/lea_kernels.cpp)
