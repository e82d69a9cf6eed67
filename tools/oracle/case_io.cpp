#include "tools/oracle/case_io.h"

#include <unistd.h>

#include <cerrno>

namespace ostrel::oracle {
namespace {

// Bytes read before the end of the stream; a partial count means a short record.
std::size_t read_fully(int fd, void *buffer, std::size_t size) {
    auto *p = static_cast<uint8_t *>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool write_fully(int fd, const void *buffer, std::size_t size) {
    const auto *p = static_cast<const uint8_t *>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

template <typename Header>
ReadStatus read_record(int fd, Header &header, std::vector<uint8_t> &memory, uint32_t magic) {
    const std::size_t got = read_fully(fd, &header, sizeof header);
    if (got == 0) return ReadStatus::end;
    if (got != sizeof header || header.magic != magic) return ReadStatus::malformed;
    if (header.memory_bytes != 0 && header.memory_bytes != kWindowBytes)
        return ReadStatus::malformed;
    memory.resize(header.memory_bytes);
    if (read_fully(fd, memory.data(), memory.size()) != memory.size()) return ReadStatus::malformed;
    return ReadStatus::ok;
}

template <typename Header>
bool write_record(int fd, const Header &header, const std::vector<uint8_t> &memory) {
    if (memory.size() != header.memory_bytes) return false;
    return write_fully(fd, &header, sizeof header) && write_fully(fd, memory.data(), memory.size());
}

} // namespace

ReadStatus read_case(int fd, Case &c) {
    return read_record(fd, c.header, c.memory, kCaseMagic);
}
ReadStatus read_result(int fd, Result &r) {
    return read_record(fd, r.header, r.memory, kResultMagic);
}
bool write_case(int fd, const Case &c) {
    return write_record(fd, c.header, c.memory);
}
bool write_result(int fd, const Result &r) {
    return write_record(fd, r.header, r.memory);
}

} // namespace ostrel::oracle
