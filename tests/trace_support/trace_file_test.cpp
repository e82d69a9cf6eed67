#include "sve/trace/support/trace_file.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

#include "trace_test_support.h"

namespace ostrel::trace {
namespace {

using Bytes = std::vector<unsigned char>;

sve_mem_ref_t make_ref(uint64_t n) {
    sve_mem_ref_t ref;
    std::memset(&ref, 0xA5, sizeof ref); // the padding must not reach the file
    ref.count = 0x0102030405060708ull + n;
    ref.tid = 0x11223344u + static_cast<uint32_t>(n);
    ref.seq_flags = static_cast<uint32_t>(n % 8);
    ref.type = n % 2 ? MEMACCESS_READ : MEMACCESS_WRITE;
    ref.size = 0x1000 + n;
    ref.addr = 0xFFFF000012340000ull + n;
    ref.pc = 0x0000AAAABBBB0000ull + n;
    return ref;
}

Bytes make_trace(const std::string &app_name, size_t record_count) {
    Bytes bytes = encode_trace_header(4242, app_name);
    for (size_t i = 0; i < record_count; ++i) {
        unsigned char record[kTraceRecordSize];
        encode_trace_record(make_ref(i), record);
        bytes.insert(bytes.end(), record, record + sizeof record);
    }
    return bytes;
}

void put_le32(Bytes &bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t get_le(const unsigned char *p, int width) {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

TraceReadResult parse(const Bytes &bytes) {
    return parse_trace(bytes.data(), bytes.size());
}

TEST(TraceFileTest, RecordBytesFollowTheDocumentedLayout) {
    const sve_mem_ref_t ref = make_ref(3);
    unsigned char out[kTraceRecordSize];
    encode_trace_record(ref, out);
    EXPECT_EQ(get_le(out + 0, 8), ref.count);
    EXPECT_EQ(get_le(out + 8, 4), ref.tid);
    EXPECT_EQ(get_le(out + 12, 4), ref.seq_flags);
    EXPECT_EQ(get_le(out + 16, 4), 1u);
    EXPECT_EQ(get_le(out + 20, 4), 0u) << "padding must be written as zero";
    EXPECT_EQ(get_le(out + 24, 8), ref.size);
    EXPECT_EQ(get_le(out + 32, 8), ref.addr);
    EXPECT_EQ(get_le(out + 40, 8), ref.pc);
}

TEST(TraceFileTest, HeaderBytesFollowTheDocumentedLayout) {
    const Bytes header = encode_trace_header(0xCAFE, "app");
    ASSERT_GE(header.size(), 31u);
    EXPECT_EQ(std::string(header.begin(), header.begin() + 8), "OSTRELTR");
    EXPECT_EQ(get_le(&header[8], 4), 1u);
    EXPECT_EQ(get_le(&header[12], 4), header.size());
    EXPECT_EQ(header.size() % 8, 0u) << "records must start 8-byte aligned";
    EXPECT_EQ(get_le(&header[16], 4), 48u);
    EXPECT_EQ(get_le(&header[20], 4), 0xCAFEu);
    EXPECT_EQ(get_le(&header[24], 4), 3u);
    EXPECT_EQ(std::string(header.begin() + 28, header.begin() + 31), "app");
    for (size_t i = 31; i < header.size(); ++i)
        EXPECT_EQ(header[i], 0) << "header filler at " << i;
}

TEST(TraceFileTest, ParsesWhatWasEncoded) {
    for (const std::string name : {"", "a", "1234", "a-much-longer-application-name"}) {
        SCOPED_TRACE("app name '" + name + "'");
        const TraceReadResult result = parse(make_trace(name, 5));
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.trace.header.app_name, name);
        EXPECT_EQ(result.trace.header.pid, 4242u);
        EXPECT_EQ(result.trace.header.version, kTraceFormatVersion);
        EXPECT_EQ(result.trace.header.record_size, kTraceRecordSize);
        ASSERT_EQ(result.trace.records.size(), 5u);
        for (uint64_t i = 0; i < 5; ++i) {
            const sve_mem_ref_t want = make_ref(i);
            const sve_mem_ref_t &got = result.trace.records[i];
            EXPECT_EQ(got.count, want.count);
            EXPECT_EQ(got.tid, want.tid);
            EXPECT_EQ(got.seq_flags, want.seq_flags);
            EXPECT_EQ(got.type, want.type);
            EXPECT_EQ(got.size, want.size);
            EXPECT_EQ(got.addr, want.addr);
            EXPECT_EQ(got.pc, want.pc);
        }
    }
}

TEST(TraceFileTest, OverlongNameIsCut) {
    const std::string name(kMaxAppNameBytes + 100, 'x');
    const TraceReadResult result = parse(make_trace(name, 1));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, name.substr(0, kMaxAppNameBytes));
    EXPECT_EQ(result.trace.records.size(), 1u);
}

struct RejectCase {
    const char *what;
    std::function<Bytes()> make;
    const char *error_contains;
};

class TraceFileRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(TraceFileRejectTest, GivesOneLineReason) {
    const RejectCase &c = GetParam();
    const TraceReadResult result = parse(c.make());
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error.find(c.error_contains), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
}

Bytes with_le32(Bytes bytes, size_t offset, uint32_t value) {
    put_le32(bytes, offset, value);
    return bytes;
}

Bytes cut(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

const RejectCase kRejectCases[] = {
    {"empty", [] { return Bytes{}; }, "empty file"},
    {"fixed header cut short", [] { return cut(make_trace("app", 0), 20); }, "truncated header"},
    {"name cut short", [] { return cut(make_trace("application", 0), 33); }, "truncated header"},
    {"bad magic",
     [] {
         Bytes bytes = make_trace("app", 2);
         bytes[3] = 'X';
         return bytes;
     },
     "bad magic"},
    {"short foreign file",
     [] {
         return Bytes{'h', 'i', '\n'};
     },
     "bad magic"},
    {"newer version", [] { return with_le32(make_trace("app", 2), 8, 2); },
     "unsupported format version 2"},
    {"version zero", [] { return with_le32(make_trace("app", 2), 8, 0); },
     "unsupported format version 0"},
    {"wrong record size", [] { return with_le32(make_trace("app", 2), 16, 40); },
     "unexpected record size 40"},
    {"partial trailing record",
     [] {
         Bytes bytes = make_trace("app", 3);
         return cut(bytes, bytes.size() - 5);
     },
     "partial trailing record"},
    {"record without its header",
     [] {
         Bytes bytes = make_trace("app", 1);
         return cut(bytes, bytes.size() - kTraceRecordSize + 1);
     },
     "partial trailing record"},
    {"header size too small for the name", [] { return with_le32(make_trace("app", 1), 12, 24); },
     "corrupt header"},
    {"header size not a record boundary", [] { return with_le32(make_trace("app", 1), 12, 36); },
     "corrupt header"},
    {"absurd name length", [] { return with_le32(make_trace("app", 1), 24, 0x7FFFFFFF); },
     "corrupt header"},
    {"header size past the end", [] { return with_le32(make_trace("app", 1), 12, 4096); },
     "truncated header"},
};

INSTANTIATE_TEST_SUITE_P(BadFiles, TraceFileRejectTest, ::testing::ValuesIn(kRejectCases),
                         [](const ::testing::TestParamInfo<RejectCase> &info) {
                             std::string name = info.param.what;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(TraceFileTest, ReadingAMissingFileNamesTheSystemError) {
    testing::TempDir dir;
    const TraceReadResult result = read_trace_file(dir.file("absent.trace"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error, std::strerror(ENOENT));
}

TEST(TraceFileTest, ReadsAFileFromDisk) {
    testing::TempDir dir;
    testing::write_bytes(dir.file("t.trace"), make_trace("disk", 4));
    const TraceReadResult result = read_trace_file(dir.file("t.trace"));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, "disk");
    EXPECT_EQ(result.trace.records.size(), 4u);
}

TEST(TraceFileTest, ReadingADirectoryFails) {
    testing::TempDir dir;
    EXPECT_FALSE(read_trace_file(dir.path()).ok());
}

} // namespace
} // namespace ostrel::trace
