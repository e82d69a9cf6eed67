// Guest memory for the tests that load, store or fault: readable and writable pages followed by
// one page that faults on any access (unmapped, or mapped without access).
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace ostrel::testing {

enum class Hole { Unmapped, NoAccess };

class PagesBeforeHole {
  public:
    explicit PagesBeforeHole(unsigned pages = 1, Hole hole = Hole::NoAccess)
        : size_(pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE))),
          page_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))), hole_(hole) {
        void *p = mmap(nullptr, size_ + page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                       -1, 0);
        if (p == MAP_FAILED) std::abort();
        base_ = static_cast<char *>(p);
        if (hole == Hole::Unmapped)
            munmap(base_ + size_, page_);
        else
            mprotect(base_ + size_, page_, PROT_NONE);
    }
    ~PagesBeforeHole() { munmap(base_, hole_ == Hole::Unmapped ? size_ : size_ + page_); }
    PagesBeforeHole(const PagesBeforeHole &) = delete;
    PagesBeforeHole &operator=(const PagesBeforeHole &) = delete;

    char *page() const { return base_; }
    std::size_t bytes() const { return size_; }
    uint64_t address(std::size_t offset) const {
        return reinterpret_cast<uint64_t>(base_) + offset;
    }
    // First address of the inaccessible page.
    uint64_t hole() const { return address(size_); }

  private:
    char *base_;
    std::size_t size_, page_;
    Hole hole_;
};

} // namespace ostrel::testing
