#include "tests/oracle_reference/state_compare.h"

#include <cstring>
#include <iomanip>
#include <sstream>

namespace ostrel::oracle::testing {
namespace {

std::string hex_bytes(const uint8_t *p, std::size_t n) {
    std::ostringstream out;
    out << std::hex << std::setfill('0');
    for (std::size_t i = n; i-- > 0;)
        out << std::setw(2) << unsigned(p[i]);
    return out.str();
}

template <typename T>
void compare(std::ostringstream &diff, const std::string &name, const T &expected,
             const T &actual) {
    if (expected != actual)
        diff << "\n  " << name << ": expected 0x" << std::hex << uint64_t(expected) << ", got 0x"
             << uint64_t(actual) << std::dec;
}

void compare_bytes(std::ostringstream &diff, const std::string &name, const uint8_t *expected,
                   const uint8_t *actual, std::size_t n) {
    if (std::memcmp(expected, actual, n) != 0)
        diff << "\n  " << name << " (most significant byte first):\n    expected "
             << hex_bytes(expected, n) << "\n    got      " << hex_bytes(actual, n);
}

} // namespace

::testing::AssertionResult same_state(const ArchState &expected, const ArchState &actual) {
    std::ostringstream diff;
    for (unsigned i = 0; i < 31; ++i)
        compare(diff, "x" + std::to_string(i), expected.x[i], actual.x[i]);
    compare(diff, "sp", expected.sp, actual.sp);
    compare(diff, "nzcv", expected.nzcv, actual.nzcv);
    compare(diff, "fpcr", expected.fpcr, actual.fpcr);
    compare(diff, "fpsr", expected.fpsr, actual.fpsr);
    for (unsigned i = 0; i < 32; ++i)
        compare_bytes(diff, "z" + std::to_string(i), expected.z[i], actual.z[i], kStateVectorBytes);
    for (unsigned i = 0; i < 16; ++i)
        compare_bytes(diff, "p" + std::to_string(i), expected.p[i], actual.p[i],
                      kStatePredicateBytes);
    compare_bytes(diff, "ffr", expected.ffr, actual.ffr, kStatePredicateBytes);
    if (diff.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "states differ:" << diff.str();
}

} // namespace ostrel::oracle::testing
