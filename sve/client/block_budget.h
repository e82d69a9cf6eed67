// How much of a basic block the instrumentation pass keeps. DynamoRIO refuses a fragment above
// 32 KiB of code-cache bytes on AArch64 (the reach of TBZ/TBNZ), and every emulated instruction
// grows into a sequence of a few dozen instructions, so a block of a few hundred SVE
// instructions would pass the limit. The pass therefore ends a block early: the instructions it
// drops start the next block. The decision depends only on the instructions themselves, in order,
// so every build of a block -- for traces and for translation too -- keeps the same prefix, and
// keeping a prefix again keeps all of it.
#pragma once

#include <cstddef>

namespace ostrel::client {

// Code-cache bytes an instruction may take once instrumented. An emulation sequence is counted
// once built (its length follows the instruction's register set): four bytes per instruction and
// headroom for what the framework adds when it emits the block. An FPCR write with its mirror and
// any native instruction that the framework rewrites (a use of the stolen register, an exit
// branch with its stub) stay below their figures.
constexpr std::size_t kInstructionBytes = 4;
constexpr std::size_t kEmulationHeadroomBytes = 64;
constexpr std::size_t emulation_bytes(std::size_t inserted_instructions) {
    return inserted_instructions * kInstructionBytes + kEmulationHeadroomBytes;
}
constexpr std::size_t kMirroredFpcrWriteBytes = 64;
constexpr std::size_t kNativeInstructionBytes = 32;

// Half the framework's limit: the rest is headroom for its own additions to the block.
constexpr std::size_t kBlockBudgetBytes = 16 * 1024;

// Walks a block's instructions in order; `admit` says whether the next one still belongs to the
// block. The first instruction always does, so a block never ends up empty.
class BlockBudget {
  public:
    bool admit(std::size_t bytes) {
        if (used_ != 0 && used_ + bytes > kBlockBudgetBytes) return false;
        used_ += bytes;
        return true;
    }

  private:
    std::size_t used_ = 0;
};

} // namespace ostrel::client
