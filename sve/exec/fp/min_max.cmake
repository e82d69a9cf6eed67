# Floating-point maximum and minimum on the host route: FMAX, FMAXNM, FMINNM and the FMAXNMV,
# FMINNMV reductions.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/min_max.cpp)
