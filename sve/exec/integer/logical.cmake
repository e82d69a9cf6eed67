# Logical, shift and bit executors: AND/ORR/EOR/BIC and DUPM, shifts, NEG/RBIT/REVW, extensions.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/logical.cpp
  ${OSTREL_FRAGMENT_DIR}/shifts.cpp
  ${OSTREL_FRAGMENT_DIR}/unary_ops.cpp
  ${OSTREL_FRAGMENT_DIR}/extends.cpp
)
