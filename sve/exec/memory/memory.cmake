# Contiguous loads and stores, load and replicate, and whole-register fill and spill.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/contiguous_load.cpp
  ${OSTREL_FRAGMENT_DIR}/contiguous_store.cpp
  ${OSTREL_FRAGMENT_DIR}/load_replicate.cpp
  ${OSTREL_FRAGMENT_DIR}/register_fill_spill.cpp
)
