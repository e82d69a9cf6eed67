# Fused multiply-adds on the host route: FMLA, FMLS, FNMLA, FNMLS, FMAD, FMSB, FNMAD, FNMSB and
# FCMLA (vectors).
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/multiply_add.cpp)
