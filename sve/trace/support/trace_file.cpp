#include "sve/trace/support/trace_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace ostrel::trace {
namespace {

// Byte-wise so that the reader does not depend on the host's byte order or alignment.
uint32_t load_le32(const unsigned char *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint64_t load_le64(const unsigned char *p) {
    return uint64_t(load_le32(p)) | uint64_t(load_le32(p + 4)) << 32;
}

void store_le32(unsigned char *p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

sve_mem_ref_t decode_record(const unsigned char *p) {
    sve_mem_ref_t ref{};
    ref.count = load_le64(p);
    ref.tid = load_le32(p + 8);
    ref.seq_flags = load_le32(p + 12);
    ref.type = static_cast<memaccess_type_t>(load_le32(p + 16));
    ref.size = load_le64(p + 24);
    ref.addr = load_le64(p + 32);
    ref.pc = load_le64(p + 40);
    return ref;
}

TraceReadResult failure(std::string message) {
    TraceReadResult result;
    result.error = std::move(message);
    return result;
}

size_t round_up_to_8(size_t n) {
    return (n + 7) & ~size_t(7);
}

} // namespace

std::vector<unsigned char> encode_trace_header(uint32_t pid, std::string_view app_name) {
    app_name = app_name.substr(0, kMaxAppNameBytes);
    const size_t header_size = round_up_to_8(kTraceFixedHeaderSize + app_name.size());
    std::vector<unsigned char> bytes(header_size, 0);
    std::memcpy(bytes.data(), kTraceMagic, sizeof kTraceMagic);
    store_le32(&bytes[8], kTraceFormatVersion);
    store_le32(&bytes[12], static_cast<uint32_t>(header_size));
    store_le32(&bytes[16], kTraceRecordSize);
    store_le32(&bytes[20], pid);
    store_le32(&bytes[24], static_cast<uint32_t>(app_name.size()));
    std::memcpy(&bytes[kTraceFixedHeaderSize], app_name.data(), app_name.size());
    return bytes;
}

TraceReadResult parse_trace(const unsigned char *data, size_t size) {
    if (size == 0) return failure("empty file");
    if (size < sizeof kTraceMagic || std::memcmp(data, kTraceMagic, sizeof kTraceMagic) != 0)
        return failure("not an ostrel trace file (bad magic)");
    if (size < kTraceFixedHeaderSize)
        return failure("truncated header (" + std::to_string(size) + " bytes, need at least " +
                       std::to_string(kTraceFixedHeaderSize) + ")");

    TraceReadResult result;
    TraceHeader &header = result.trace.header;
    header.version = load_le32(data + 8);
    header.header_size = load_le32(data + 12);
    header.record_size = load_le32(data + 16);
    header.pid = load_le32(data + 20);
    const uint32_t name_length = load_le32(data + 24);

    if (header.version != kTraceFormatVersion)
        return failure("unsupported format version " + std::to_string(header.version) +
                       " (this reader knows version " + std::to_string(kTraceFormatVersion) + ")");
    if (header.record_size != kTraceRecordSize)
        return failure("unexpected record size " + std::to_string(header.record_size) +
                       " (expected " + std::to_string(kTraceRecordSize) + ")");
    if (name_length > kMaxAppNameBytes)
        return failure("corrupt header: application name of " + std::to_string(name_length) +
                       " bytes");
    if (header.header_size < kTraceFixedHeaderSize + name_length || header.header_size % 8 != 0)
        return failure("corrupt header: declared header size " +
                       std::to_string(header.header_size) + " does not fit a " +
                       std::to_string(name_length) + "-byte application name");
    if (size < header.header_size)
        return failure("truncated header (" + std::to_string(size) + " bytes, header declares " +
                       std::to_string(header.header_size) + ")");

    header.app_name.assign(reinterpret_cast<const char *>(data + kTraceFixedHeaderSize),
                           name_length);
    const size_t body = size - header.header_size;
    if (body % kTraceRecordSize != 0)
        return failure("partial trailing record (" + std::to_string(body % kTraceRecordSize) +
                       " bytes after record " + std::to_string(body / kTraceRecordSize) + ")");

    std::vector<sve_mem_ref_t> &records = result.trace.records;
    records.reserve(body / kTraceRecordSize);
    for (size_t offset = header.header_size; offset < size; offset += kTraceRecordSize)
        records.push_back(decode_record(data + offset));
    return result;
}

TraceReadResult read_trace_file(const std::string &path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
    if (!file) return failure(std::strerror(errno));

    std::vector<unsigned char> bytes;
    unsigned char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file.get())) return failure(std::string("read error: ") + std::strerror(errno));
    return parse_trace(bytes.data(), bytes.size());
}

} // namespace ostrel::trace
