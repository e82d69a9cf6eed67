# The host's feature word (AT_HWCAP), for the half-precision host arithmetic of the kernel road.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/host_hwcap.cpp)
