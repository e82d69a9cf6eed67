#include "tools/oracle/reference/memory_window.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::reference {

bool MemoryWindow::map(std::string &error) {
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const uint64_t start = kWindowAddress - page;
    const uint64_t bytes = kWindowBytes + 2 * page;
    void *reserved = mmap(reinterpret_cast<void *>(start), bytes, PROT_NONE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (reserved == MAP_FAILED) {
        error = std::string("mapping the memory window: ") + std::strerror(errno);
        return false;
    }
    // A kernel that does not know MAP_FIXED_NOREPLACE takes the address as a hint only.
    if (reinterpret_cast<uint64_t>(reserved) != start) {
        munmap(reserved, bytes);
        error = "the memory window's address is taken";
        return false;
    }
    window_ = reinterpret_cast<uint8_t *>(kWindowAddress);
    if (mprotect(window_, kWindowBytes, PROT_READ | PROT_WRITE) != 0) {
        error = std::string("opening the memory window: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void MemoryWindow::load(const uint8_t *contents) {
    if (contents)
        std::memcpy(window_, contents, kWindowBytes);
    else
        std::memset(window_, 0, kWindowBytes);
}

void MemoryWindow::store(uint8_t *contents) const {
    std::memcpy(contents, window_, kWindowBytes);
}

} // namespace ostrel::oracle::reference
