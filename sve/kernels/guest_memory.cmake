# Guest memory access, fault recovery and the load-time set-up of the process.
target_sources(ostrel_core PRIVATE
  ${OSTREL_FRAGMENT_DIR}/guest_memory.cpp
  ${OSTREL_FRAGMENT_DIR}/host_signal_context.cpp
  ${OSTREL_FRAGMENT_DIR}/process_init.cpp)
