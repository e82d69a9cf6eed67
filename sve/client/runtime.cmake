# Run-time emulation entry shared by the front ends.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/emulate.cpp
  ${OSTREL_FRAGMENT_DIR}/vector_length.cpp)
