# Predicate logic, breaks, permutes, counts, PNEXT and the first-fault register instructions.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/breaks.cpp
  ${OSTREL_FRAGMENT_DIR}/ffr.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_counts.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_iteration.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_logic.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_permutes.cpp
)
