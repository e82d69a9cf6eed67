# Floating-point arithmetic on the host route: FADD, FSUB, FSUBR, FMUL, FDIV, FDIVR (vectors,
# immediates, unpredicated) and FRECPS.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/arith.cpp)
