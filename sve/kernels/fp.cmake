# Kernels of the floating-point forms on the kernel road, one file per family.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/fp/arith_kernels.cpp)
