// The emulated register file across the application's signal handlers. Z (above the NEON bytes),
// P and FFR live only in the thread's cpu_state, so a handler that runs SVE instructions would
// overwrite the interrupted code's vectors; on SVE hardware the kernel saves them in the signal
// frame. Here the whole record is saved when the framework delivers a signal and put back when the
// handler's rt_sigreturn names the interrupted context that save was made for. Nothing runs on
// the emulation path. Every system call is intercepted, so that the framework checks signals
// waiting for a thread against the program's mask (event_filter_syscall says why).
#pragma once

namespace ostrel::client {

// Registers the thread, signal and system-call events; call once after drmgr_init(). drmgr_exit()
// takes them down with the rest.
void register_signal_state_events();

} // namespace ostrel::client
