# Kernels of the element counts by pattern.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/count_kernels.cpp)
