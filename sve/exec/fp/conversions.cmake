# Floating-point conversions on the host route: FCVT (single and double), FCVTZS, FCVTZU, SCVTF,
# UCVTF.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/conversions.cpp)
