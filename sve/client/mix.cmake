# The instruction mix, counted on the shared run-time path.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/mix_classify.cpp
  ${OSTREL_FRAGMENT_DIR}/mix_counters.cpp
  ${OSTREL_FRAGMENT_DIR}/mix_report.cpp
  ${OSTREL_FRAGMENT_DIR}/mix_session.cpp
)
