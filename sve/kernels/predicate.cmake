# Predicate kernels: PTRUES and WHILELE.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/predicate_kernels.cpp)
