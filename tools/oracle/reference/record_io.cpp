#include "tools/oracle/reference/record_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ostrel::oracle::reference {
namespace {

// Reads until `bytes` arrived or the input ended; returns how many arrived, -1 on error.
ssize_t read_full(int fd, void *data, std::size_t bytes) {
    auto *p = static_cast<char *>(data);
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = read(fd, p + done, bytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool write_full(int fd, const void *data, std::size_t bytes) {
    auto *p = static_cast<const char *>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, p, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

bool read_part(int fd, void *data, std::size_t bytes, const char *what, std::string &error) {
    const ssize_t n = read_full(fd, data, bytes);
    if (n < 0) {
        error = std::string("reading the ") + what + ": " + std::strerror(errno);
        return false;
    }
    if (static_cast<std::size_t>(n) != bytes) {
        error = std::string("truncated ") + what + ": " + std::to_string(n) + " of " +
                std::to_string(bytes) + " bytes";
        return false;
    }
    return true;
}

} // namespace

bool runnable_encoding(uint32_t encoding) {
    const bool sve_space = ((encoding >> 25) & 0xf) == 0x2;
    const bool permanently_undefined = (encoding >> 16) == 0;
    return sve_space || permanently_undefined;
}

ReadStatus read_case(int fd, CaseRecord &record, std::string &error) {
    // The first byte tells a clean end from a truncated record.
    auto *header = reinterpret_cast<char *>(&record.header);
    const ssize_t first = read_full(fd, header, 1);
    if (first == 0) return ReadStatus::end;
    if (first < 0) {
        error = std::string("reading a case: ") + std::strerror(errno);
        return ReadStatus::malformed;
    }
    if (!read_part(fd, header + 1, sizeof record.header - 1, "case", error))
        return ReadStatus::malformed;
    const CaseHeader &h = record.header;
    if (h.magic != kCaseMagic) {
        error = "bad case magic " + hex32(h.magic);
        return ReadStatus::malformed;
    }
    if (h.memory_bytes != 0 && h.memory_bytes != kWindowBytes) {
        error = "memory_bytes is " + std::to_string(h.memory_bytes) + ", neither 0 nor " +
                std::to_string(kWindowBytes);
        return ReadStatus::malformed;
    }
    if (!runnable_encoding(h.encoding)) {
        error = "encoding " + hex32(h.encoding) + " is outside the SVE encoding space";
        return ReadStatus::malformed;
    }
    record.window.resize(h.memory_bytes);
    if (h.memory_bytes != 0 &&
        !read_part(fd, record.window.data(), record.window.size(), "window", error))
        return ReadStatus::malformed;
    return ReadStatus::record;
}

bool write_result(int fd, const ResultRecord &record, std::string &error) {
    if (!write_full(fd, &record.header, sizeof record.header) ||
        !write_full(fd, record.window.data(), record.window.size())) {
        error = std::string("writing a result: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace ostrel::oracle::reference
