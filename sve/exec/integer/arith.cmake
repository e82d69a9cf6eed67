# Integer arithmetic beyond ADD and SUB: multiply and multiply-add, divide, minimum and maximum,
# and the integer compares.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/compares.cpp
  ${OSTREL_FRAGMENT_DIR}/divide.cpp
  ${OSTREL_FRAGMENT_DIR}/min_max.cpp
  ${OSTREL_FRAGMENT_DIR}/multiply.cpp
)
