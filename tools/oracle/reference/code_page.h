// The page the case's instruction runs from: a copy of the entry sequence with the case's
// encoding in its instruction slot.
#pragma once

#include <cstdint>
#include <string>

#include "tools/oracle/reference/run_block.h"

namespace ostrel::oracle::reference {

class CodePage {
  public:
    // Maps the page and copies the entry sequence in, bound to `block`.
    bool create(RunBlock *block, std::string &error);

    void set_instruction(uint32_t encoding);
    uint64_t instruction_address() const { return reinterpret_cast<uint64_t>(slot_); }
    void (*entry() const)() { return entry_; }

  private:
    void (*entry_)() = nullptr;
    uint32_t *slot_ = nullptr;
};

} // namespace ostrel::oracle::reference
