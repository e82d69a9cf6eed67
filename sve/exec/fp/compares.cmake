# Floating-point compares into predicates on the host route (vectors and against zero).
target_sources(ostrel_core PRIVATE ${OSTREL_FRAGMENT_DIR}/compares.cpp)
