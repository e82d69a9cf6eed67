# Element counts by pattern, vector-length scalars, broadcasts and index vectors.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/element_counts.cpp
  ${OSTREL_FRAGMENT_DIR}/moves.cpp
)
