#include "tools/oracle/reference/code_page.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ostrel::oracle::reference {
namespace {

std::size_t offset_of(const uint32_t *label) {
    return reinterpret_cast<const char *>(label) -
           reinterpret_cast<const char *>(ostrel_ref_template_begin);
}

} // namespace

bool CodePage::create(RunBlock *block, std::string &error) {
    const std::size_t bytes = offset_of(ostrel_ref_template_end);
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    if (bytes > page) {
        error = "the entry sequence does not fit in one page";
        return false;
    }
    // Writable and executable at once: the slot is rewritten for every case.
    void *code =
        mmap(nullptr, page, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (code == MAP_FAILED) {
        error = std::string("mapping the code page: ") + std::strerror(errno);
        return false;
    }
    auto *base = static_cast<char *>(code);
    std::memcpy(base, ostrel_ref_template_begin, bytes);
    const uint64_t block_address = reinterpret_cast<uint64_t>(block);
    std::memcpy(base + offset_of(ostrel_ref_block_literal), &block_address, sizeof block_address);
    __builtin___clear_cache(base, base + bytes);
    entry_ = reinterpret_cast<void (*)()>(code);
    slot_ = reinterpret_cast<uint32_t *>(base + offset_of(ostrel_ref_instruction_slot));
    return true;
}

void CodePage::set_instruction(uint32_t encoding) {
    *slot_ = encoding;
    char *start = reinterpret_cast<char *>(slot_);
    __builtin___clear_cache(start, start + sizeof encoding);
}

} // namespace ostrel::oracle::reference
