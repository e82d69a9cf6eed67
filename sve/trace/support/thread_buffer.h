// Per-thread record buffers and the registry that lets the library flush all of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/support/trace_sink.h"
#include "sve/trace/sve_mem_ref.h"

namespace ostrel::trace {

// Records of one thread in file form. Only the owning thread appends, without a lock; any
// thread may write out what has been appended so far. `committed_` publishes the appended
// records, and only the owner ever rewinds it, so a flush from another thread never races
// with a slot being filled.
class ThreadBuffer {
  public:
    static constexpr size_t kCapacity = 2048; // records: 96 KiB per tracing thread

    ThreadBuffer() = default;
    ThreadBuffer(const ThreadBuffer &) = delete;
    ThreadBuffer &operator=(const ThreadBuffer &) = delete;

    // Owner only. True when the buffer has become full and the owner must call drain().
    bool append(const sve_mem_ref_t &ref) {
        const size_t n = committed_.load(std::memory_order_relaxed);
        encode_trace_record(ref, &bytes_[n * kTraceRecordSize]);
        committed_.store(n + 1, std::memory_order_release);
        return n + 1 == kCapacity;
    }

    // Owner only: writes out what is left and makes the whole buffer free again, even when
    // the write fails. False when records were dropped.
    bool drain(TraceSink &sink);

    // Any thread: writes out what has been appended and not yet written.
    bool flush(TraceSink &sink);

  private:
    friend class BufferRegistry;

    unsigned char bytes_[kCapacity * kTraceRecordSize];
    std::atomic<size_t> committed_{0};
    std::mutex mutex_;
    size_t written_ = 0;           // guarded by mutex_
    ThreadBuffer *prev_ = nullptr; // guarded by the registry's mutex
    ThreadBuffer *next_ = nullptr;
};

// The live thread buffers, as an intrusive list so that a static instance needs no
// destructor: threads may still be exiting while the process tears down its statics.
class BufferRegistry {
  public:
    void add(ThreadBuffer *buffer);
    // Writes out what `buffer` holds and unregisters it, as one step with respect to
    // flush_all(): a thread exiting while the trace is finished loses nothing.
    bool retire(ThreadBuffer *buffer, TraceSink &sink);
    // Flushes every registered buffer; a buffer cannot be removed while this runs.
    // False when records were dropped.
    bool flush_all(TraceSink &sink);

  private:
    std::mutex mutex_;
    ThreadBuffer *head_ = nullptr;
};

} // namespace ostrel::trace
