#include "tools/oracle/reference/vector_length.h"

#include <asm/hwcap.h>
#include <sys/auxv.h>
#include <sys/prctl.h>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::reference {
namespace {

// From linux/prctl.h, which older C libraries' headers do not carry.
constexpr int kSetVectorLength = 50; // PR_SVE_SET_VL
constexpr int kGetVectorLength = 51; // PR_SVE_GET_VL
constexpr int kVectorLengthMask = 0xffff;

int current_vector_bytes() {
    const int r = prctl(kGetVectorLength, 0, 0, 0, 0);
    return r < 0 ? r : (r & kVectorLengthMask);
}

} // namespace

bool ensure_vector_length(std::string &error) {
    if ((getauxval(AT_HWCAP) & HWCAP_SVE) == 0) {
        error = "this processor has no SVE (under qemu: -cpu max,sve-default-vector-length=192)";
        return false;
    }
    if (current_vector_bytes() != static_cast<int>(kVectorBytes))
        prctl(kSetVectorLength, kVectorBytes, 0, 0, 0);
    const int bytes = current_vector_bytes();
    if (bytes != static_cast<int>(kVectorBytes)) {
        error = "the vector length is " + std::to_string(bytes) + " bytes and cannot be set to " +
                std::to_string(kVectorBytes);
        return false;
    }
    return true;
}

} // namespace ostrel::oracle::reference
