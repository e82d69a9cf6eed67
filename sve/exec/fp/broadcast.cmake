# FDUP (immediate), every element size.
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/broadcast.cpp)
