# Kernels of the permutes, unpacks and element selection (INSR, LASTA, CLASTA/CLASTB, SPLICE,
# COMPACT).
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/permute_kernels.cpp)
