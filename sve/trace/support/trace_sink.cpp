#include "sve/trace/support/trace_sink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "sve/trace/support/trace_file.h"

namespace ostrel::trace {

bool TraceSink::open(uint32_t pid, const std::string &app_name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ >= 0 || closed_) return fd_ >= 0;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        fail("cannot open", errno);
        return false;
    }
    const std::vector<unsigned char> header = encode_trace_header(pid, app_name);
    return write_all(header.data(), header.size());
}

bool TraceSink::write_records(const unsigned char *records, size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return false;
    return write_all(records, count * kTraceRecordSize);
}

void TraceSink::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    if (fd_ < 0) return;
    if (::close(fd_) != 0) {
        const int error = errno;
        fd_ = -1;
        fail("cannot finish writing", error);
    }
    fd_ = -1;
}

bool TraceSink::write_all(const unsigned char *bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            const int error = n < 0 ? errno : ENOSPC;
            // Best effort: a cut-off record would make the whole file unreadable.
            if (done > 0) (void)!::ftruncate(fd_, static_cast<off_t>(good_size_));
            fail("cannot write", error);
            return false;
        }
    }
    good_size_ += size;
    return true;
}

void TraceSink::fail(const char *action, int error) {
    // The one report this sink ever makes; closing the file means later writes are dropped
    // without another word. Built in one buffer and written with one call so that it stays
    // one line even when other threads print at the same time.
    char line[1024];
    int length = std::snprintf(line, sizeof line,
                               "libostrel_trace: %s trace file '%s': %s; records are dropped\n",
                               action, path_.c_str(), std::strerror(error));
    if (length < 0) length = 0;
    if (static_cast<size_t>(length) >= sizeof line) {
        length = sizeof line - 1;
        line[length - 1] = '\n';
    }
    (void)!::write(STDERR_FILENO, line, static_cast<size_t>(length));
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    closed_ = true;
}

} // namespace ostrel::trace
