# Floating-point unary operations on the host route: FABS, FNEG, FSQRT, FRINTA, FRECPE.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/unary.cpp)
