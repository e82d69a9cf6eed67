#include "tools/oracle/reference/vector_length.h"

#include <asm/hwcap.h>
#include <sys/auxv.h>
#include <sys/prctl.h>

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

bool has_sve(std::string &error) {
    if ((getauxval(AT_HWCAP) & HWCAP_SVE) != 0) return true;
    error = "this processor has no SVE (under qemu: -cpu max,sve-default-vector-length=BYTES)";
    return false;
}

bool ensure_vector_length(unsigned bytes, std::string &error) {
    // Every case of a run has the same length: ask the kernel only when it changes.
    static unsigned known_bytes = 0;
    if (bytes == known_bytes) return true;
    if (current_vector_bytes() != static_cast<int>(bytes)) prctl(kSetVectorLength, bytes, 0, 0, 0);
    const int now = current_vector_bytes();
    if (now != static_cast<int>(bytes)) {
        error = "the vector length is " + std::to_string(now) + " bytes and cannot be set to " +
                std::to_string(bytes);
        return false;
    }
    known_bytes = bytes;
    return true;
}

} // namespace ostrel::oracle::reference
