# Load-and-replicate-quadword kernels (LD1RQ*).
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/load_quad_kernels.cpp)
