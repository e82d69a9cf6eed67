# Kernels of the integer arithmetic forms on the kernel road.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/arith_kernels.cpp)
