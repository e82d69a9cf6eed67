// The memory window every memory case addresses, at the fixed address of the case format, with
// a guard page on either side that faults on access.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::oracle::reference {

class MemoryWindow {
  public:
    // Maps the window. The guard pages are reserved without access rather than left unmapped, so
    // that nothing the process maps later can land in them.
    bool map(std::string &error);

    // Contents for the next case: kWindowBytes from `contents`, or zeros when it is null.
    void load(const uint8_t *contents);
    void store(uint8_t *contents) const;

  private:
    uint8_t *window_ = nullptr;
};

} // namespace ostrel::oracle::reference
