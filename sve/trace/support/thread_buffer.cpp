#include "sve/trace/support/thread_buffer.h"

namespace ostrel::trace {

bool ThreadBuffer::drain(TraceSink &sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t end = committed_.load(std::memory_order_relaxed);
    const bool ok =
        end == written_ || sink.write_records(&bytes_[written_ * kTraceRecordSize], end - written_);
    written_ = 0;
    committed_.store(0, std::memory_order_relaxed);
    return ok;
}

bool ThreadBuffer::flush(TraceSink &sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t end = committed_.load(std::memory_order_acquire);
    if (end == written_) return true;
    const bool ok = sink.write_records(&bytes_[written_ * kTraceRecordSize], end - written_);
    written_ = end;
    return ok;
}

void BufferRegistry::add(ThreadBuffer *buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    buffer->prev_ = nullptr;
    buffer->next_ = head_;
    if (head_) head_->prev_ = buffer;
    head_ = buffer;
}

bool BufferRegistry::retire(ThreadBuffer *buffer, TraceSink &sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool ok = buffer->flush(sink);
    if (buffer->prev_)
        buffer->prev_->next_ = buffer->next_;
    else if (head_ == buffer)
        head_ = buffer->next_;
    if (buffer->next_) buffer->next_->prev_ = buffer->prev_;
    buffer->prev_ = buffer->next_ = nullptr;
    return ok;
}

bool BufferRegistry::flush_all(TraceSink &sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    bool ok = true;
    for (ThreadBuffer *buffer = head_; buffer; buffer = buffer->next_)
        ok = buffer->flush(sink) && ok;
    return ok;
}

} // namespace ostrel::trace
