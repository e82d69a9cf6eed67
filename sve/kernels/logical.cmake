# Kernels of the logical, shift and bit family.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/logical_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/shift_kernels.cpp
)
