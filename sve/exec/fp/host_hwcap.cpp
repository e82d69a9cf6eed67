// The host's AT_HWCAP word (sve/exec/fp/host_hwcap.h).
#include "sve/exec/fp/host_hwcap.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/auxv.h>
#include <unistd.h>

namespace ostrel::fp {

unsigned long hwcap_from_auxv_file(const char *path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    unsigned long hwcap = 0;
    Elf64_auxv_t entry;
    while (read(fd, &entry, sizeof entry) == static_cast<ssize_t>(sizeof entry) &&
           entry.a_type != AT_NULL)
        if (entry.a_type == AT_HWCAP) hwcap = entry.a_un.a_val;
    close(fd);
    return hwcap;
}

unsigned long host_hwcap() {
    const unsigned long from_libc = getauxval(AT_HWCAP);
    return from_libc != 0 ? from_libc : hwcap_from_auxv_file("/proc/self/auxv");
}

} // namespace ostrel::fp
