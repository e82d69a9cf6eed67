# Predicate flags (PredTest), predicate constants and tests, and the WHILE loop predicates.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/pred_flags.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_constants.cpp
  ${OSTREL_FRAGMENT_DIR}/while.cpp
)
