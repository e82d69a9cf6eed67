// The host's AT_HWCAP word: the features Linux reports for the processor. A library loaded by a
// binary-instrumentation framework's own loader may see no auxiliary vector through getauxval
// (which then gives 0), so the process's copy in /proc is read in that case.
#pragma once

namespace ostrel::fp {

// AT_HWCAP of an auxiliary-vector file in the kernel's layout (/proc/<pid>/auxv): 0 when the file
// cannot be read or holds no such entry.
unsigned long hwcap_from_auxv_file(const char *path);

// getauxval(AT_HWCAP), or the word from /proc/self/auxv when that gives 0.
unsigned long host_hwcap();

} // namespace ostrel::fp
