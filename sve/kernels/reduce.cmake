# Kernels of the integer reductions and of the saturating element counts.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/reduce_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/saturating_count_kernels.cpp
)
