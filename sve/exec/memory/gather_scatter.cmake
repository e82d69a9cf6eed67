# Gathers, scatters, structure loads and stores, and the non-fault and first-fault executors.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/gather_load.cpp
  ${OSTREL_FRAGMENT_DIR}/scatter_store.cpp
  ${OSTREL_FRAGMENT_DIR}/structure_access.cpp
  ${OSTREL_FRAGMENT_DIR}/speculative_load.cpp
)
