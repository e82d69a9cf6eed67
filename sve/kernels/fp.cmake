# Kernels of the floating-point forms on the kernel road, one file per family.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/fp/arith_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/unary_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/trig_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/muladd_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/indexed_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/complex_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/compare_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/reduce_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/convert_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/fp/dup_kernels.cpp)
