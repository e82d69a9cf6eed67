// The trace file on the writing side: opened once, then fed whole records from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace ostrel::trace {

class TraceSink {
  public:
    explicit TraceSink(std::string path) : path_(std::move(path)) {}
    TraceSink(const TraceSink &) = delete;
    TraceSink &operator=(const TraceSink &) = delete;
    ~TraceSink() { close(); }

    // Creates the file and writes its header. False (after one line on stderr) when the
    // trace cannot be written; every later write is then dropped.
    bool open(uint32_t pid, const std::string &app_name);

    // Appends `count` encoded records as one piece, so that writers on different threads
    // never interleave inside a record. False when the records were dropped.
    bool write_records(const unsigned char *records, size_t count);

    // Later writes are dropped silently.
    void close();

    const std::string &path() const { return path_; }

  private:
    bool write_all(const unsigned char *bytes, size_t size); // with mutex_ held
    void fail(const char *action, int error);                // with mutex_ held

    const std::string path_;
    std::mutex mutex_;
    int fd_ = -1;
    bool closed_ = false;
    // Everything up to here is header or whole records: where a failed write is cut back to,
    // so that the file stays readable.
    uint64_t good_size_ = 0;
};

} // namespace ostrel::trace
