// The host's feature word as read from an auxiliary-vector file: the road the client takes when
// its loader hides the auxiliary vector from getauxval, which no oracle case goes down. The
// process's own /proc copy must agree with getauxval on AArch64, and written files of known entries give
// their AT_HWCAP, or 0.
#include <gtest/gtest.h>

#include <elf.h>
#include <sys/auxv.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sve/exec/fp/host_hwcap.h"

using ostrel::fp::hwcap_from_auxv_file;

namespace {

std::string write_auxv(const std::vector<Elf64_auxv_t> &entries, const char *name) {
    const std::string path = std::string(::testing::TempDir()) + name;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f != nullptr) {
        if (!entries.empty()) std::fwrite(entries.data(), sizeof entries[0], entries.size(), f);
        std::fclose(f);
    }
    return path;
}

Elf64_auxv_t entry(uint64_t type, uint64_t value) {
    Elf64_auxv_t e;
    e.a_type = type;
    e.a_un.a_val = value;
    return e;
}

// On AArch64 the C library hands the kernel's word through unchanged (on x86-64 it puts its own
// bits in its place, so the two differ there by design).
#if defined(__aarch64__)
TEST(HostHwcap, TheProcessCopyAgreesWithTheLibrary) {
    EXPECT_EQ(hwcap_from_auxv_file("/proc/self/auxv"), getauxval(AT_HWCAP));
}
#endif

TEST(HostHwcap, WrittenFilesGiveTheirEntryOrZero) {
    struct Case {
        const char *name;
        std::vector<Elf64_auxv_t> entries;
        unsigned long expected;
    };
    const Case cases[] = {
        {"hwcap among others",
         {entry(AT_PAGESZ, 4096), entry(AT_HWCAP, 0x1234), entry(AT_NULL, 0)},
         0x1234},
        {"no hwcap", {entry(AT_PAGESZ, 4096), entry(AT_HWCAP2, 7), entry(AT_NULL, 0)}, 0},
        {"hwcap after the end", {entry(AT_NULL, 0), entry(AT_HWCAP, 0x99)}, 0},
        {"no end marker", {entry(AT_HWCAP, 0x55)}, 0x55},
        {"empty file", {}, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        const std::string path =
            write_auxv(c.entries, ("auxv_case_" + std::to_string(n++)).c_str());
        EXPECT_EQ(hwcap_from_auxv_file(path.c_str()), c.expected) << c.name;
        std::remove(path.c_str());
    }
    EXPECT_EQ(hwcap_from_auxv_file("/nonexistent/auxv"), 0u);
}

} // namespace
