// The host's AT_HWCAP word (sve/exec/fp/host_half.h).
#if defined(__aarch64__)

#include <elf.h>
#include <fcntl.h>
#include <sys/auxv.h>
#include <unistd.h>

#include "sve/exec/fp/host_half.h"

namespace ostrel::fp {

unsigned long host_hwcap() {
    const unsigned long from_libc = getauxval(AT_HWCAP);
    if (from_libc != 0) return from_libc;
    unsigned long hwcap = 0;
    const int fd = open("/proc/self/auxv", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    Elf64_auxv_t entry;
    while (read(fd, &entry, sizeof entry) == static_cast<ssize_t>(sizeof entry) &&
           entry.a_type != AT_NULL)
        if (entry.a_type == AT_HWCAP) hwcap = entry.a_un.a_val;
    close(fd);
    return hwcap;
}

} // namespace ostrel::fp

#endif
