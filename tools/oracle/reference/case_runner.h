// Runs cases on the processor's own SVE: the case's complete state in, its one instruction,
// the complete state out.
#pragma once

#include <string>

#include "tools/oracle/reference/code_page.h"
#include "tools/oracle/reference/memory_window.h"
#include "tools/oracle/reference/record_io.h"
#include "tools/oracle/reference/run_block.h"

namespace ostrel::oracle::reference {

class CaseRunner {
  public:
    // Maps the window and the code page and installs the fault traps; once per process.
    bool init(std::string &error);

    // A completed case reports the state after the instruction. An undefined or faulted one
    // reports the case's own state (nothing is captured from the interrupted instruction) and,
    // when faulted, the fault address. Cases with memory also report the window afterwards.
    void run(const CaseRecord &in, ResultRecord &out);

  private:
    RunBlock block_{};
    CodePage code_;
    MemoryWindow window_;
};

} // namespace ostrel::oracle::reference
