# Permutes, unpacks, selects, copies and element extraction on the fixed-length register file.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/permutes.cpp
  ${OSTREL_FRAGMENT_DIR}/unpacks.cpp
  ${OSTREL_FRAGMENT_DIR}/selects.cpp
  ${OSTREL_FRAGMENT_DIR}/copies.cpp
  ${OSTREL_FRAGMENT_DIR}/element_extract.cpp
)
