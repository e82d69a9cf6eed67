# Integer reductions and the saturating element count on scalars.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/reductions.cpp
  ${OSTREL_FRAGMENT_DIR}/saturating_counts.cpp
)
