#include "tools/oracle/reference/case_runner.h"

#include <signal.h>

#include <cstring>

#include "tools/oracle/reference/fault_trap.h"

namespace ostrel::oracle::reference {
namespace {

// The entry sequence gives the host its floating-point modes back only when it gets to its end;
// a trapped instruction leaves the case's in place.
void restore_host_fp_modes(const RunBlock &block) {
    asm volatile("msr fpcr, %0\n\tmsr fpsr, %1" ::"r"(block.host_fpcr), "r"(block.host_fpsr));
}

void clear_reserved(ArchState &state) {
    state.reserved = 0;
    std::memset(state.reserved2, 0, sizeof state.reserved2);
}

} // namespace

bool CaseRunner::init(std::string &error) {
    return window_.map(error) && code_.create(&block_, error) && install_fault_traps(error);
}

void CaseRunner::run(const CaseRecord &in, ResultRecord &out) {
    window_.load(in.window.empty() ? nullptr : in.window.data());
    block_.in = in.header.state;
    std::memset(&block_.out, 0, sizeof block_.out);
    code_.set_instruction(in.header.encoding);

    const Trap trap = run_trapped(code_.entry(), code_.instruction_address());

    out.header = ResultHeader{};
    out.header.magic = kResultMagic;
    out.header.memory_bytes = in.header.memory_bytes;
    if (trap.signal == 0) {
        out.header.outcome = Outcome::completed;
        out.header.state = block_.out;
    } else {
        restore_host_fp_modes(block_);
        out.header.outcome = trap.signal == SIGILL ? Outcome::undefined : Outcome::faulted;
        out.header.fault_address = trap.address;
        out.header.state = in.header.state;
    }
    clear_reserved(out.header.state);
    out.window.resize(in.window.size());
    if (!out.window.empty()) window_.store(out.window.data());
}

} // namespace ostrel::oracle::reference
