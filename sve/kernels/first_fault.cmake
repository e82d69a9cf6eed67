# First-fault load kernels (contiguous and gathers), with guarded reads.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/first_fault_kernels.cpp)
