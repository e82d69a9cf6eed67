# Predicate kernels: logic with flags, breaks, PFIRST, RDFFRS, permutes, counts and CTERM.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/predicate_count_kernels.cpp
  ${OSTREL_FRAGMENT_DIR}/predicate_ops_kernels.cpp
)
