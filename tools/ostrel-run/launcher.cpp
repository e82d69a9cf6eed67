// ostrel-run [--trace FILE] [--] PROGRAM [ARGS...]
//
// Runs an unmodified, dynamically linked AArch64 program with its SVE instructions emulated: the
// preloaded trap library catches each SVE instruction's SIGILL. On an AArch64 host the program runs
// directly; on any other host it runs under qemu-aarch64 as a processor without SVE.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char *kUsage = "usage: ostrel-run [--trace FILE] [--] PROGRAM [ARGS...]\n";
constexpr const char *kDefaultSysroot = "/usr/aarch64-linux-gnu";

bool is_file(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string own_directory() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

// PROGRAM as the kernel would find it: as given when it names a path, else searched on PATH.
std::string resolve_program(const std::string &program) {
    if (program.find('/') != std::string::npos) return program;
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (is_file(candidate)) return candidate;
        start = end + 1;
    }
    return program;
}

// Finds the first existing file among candidates; empty when none exists.
std::string first_existing(const std::vector<std::string> &candidates) {
    for (const std::string &c : candidates)
        if (!c.empty() && is_file(c)) return c;
    return "";
}

std::string env_or(const char *name, const std::string &fallback) {
    const char *v = std::getenv(name);
    return v && *v ? v : fallback;
}

} // namespace

int main(int argc, char **argv) {
    int i = 1;
    std::string trace_file;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--trace") {
            if (i + 1 >= argc) {
                std::fputs("ostrel-run: --trace needs a file name\n", stderr);
                std::fputs(kUsage, stderr);
                return 2;
            }
            trace_file = argv[++i];
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "ostrel-run: unknown option '%s'\n", arg.c_str());
            std::fputs(kUsage, stderr);
            return 2;
        }
        break;
    }
    if (i >= argc) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string program = resolve_program(argv[i]);
    if (!is_file(program)) {
        std::fprintf(stderr, "ostrel-run: %s: no such program\n", argv[i]);
        return 127;
    }
    if (!trace_file.empty()) setenv("OSTREL_TRACE_FILE", trace_file.c_str(), 1);

    const std::string here = own_directory();
#if defined(__aarch64__)
    const std::string trap = first_existing(
        {env_or("OSTREL_TRAP_LIBRARY", ""), here + "/../lib/libostrel_trap.so"});
    if (trap.empty()) {
        std::fputs("ostrel-run: cannot find libostrel_trap.so (set OSTREL_TRAP_LIBRARY)\n", stderr);
        return 2;
    }
    setenv("LD_PRELOAD", trap.c_str(), 1);
    std::vector<char *> args(argv + i, argv + argc);
    args.push_back(nullptr);
    execv(program.c_str(), args.data());
    std::fprintf(stderr, "ostrel-run: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    return 126;
#else
    // The trap library of the AArch64 tree, built beside this one (build/aarch64/lib).
    const std::string trap = first_existing({env_or("OSTREL_TRAP_LIBRARY", ""),
                                             here + "/../../aarch64/lib/libostrel_trap.so"});
    if (trap.empty()) {
        std::fputs("ostrel-run: cannot find the AArch64 libostrel_trap.so (build it with `make`, "
                   "or set OSTREL_TRAP_LIBRARY)\n",
                   stderr);
        return 2;
    }
    const std::string qemu = env_or("OSTREL_QEMU", "qemu-aarch64");
    const std::string sysroot = env_or("OSTREL_SYSROOT", kDefaultSysroot);
    if (!is_file(sysroot + "/lib/ld-linux-aarch64.so.1")) {
        std::fprintf(stderr,
                     "ostrel-run: no AArch64 sysroot at %s (install g++-aarch64-linux-gnu, or set "
                     "OSTREL_SYSROOT)\n",
                     sysroot.c_str());
        return 2;
    }
    const std::string preload = "LD_PRELOAD=" + trap;
    std::vector<std::string> words = {qemu, "-cpu", "neoverse-n1", "-L", sysroot, "-E", preload};
    if (!trace_file.empty()) words.insert(words.end(), {"-E", "OSTREL_TRACE_FILE=" + trace_file});
    words.push_back(program);
    for (int a = i + 1; a < argc; ++a) words.push_back(argv[a]);
    std::vector<char *> args;
    for (std::string &w : words) args.push_back(w.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "ostrel-run: cannot run %s: %s (install qemu-user, or set OSTREL_QEMU)\n",
                 qemu.c_str(), std::strerror(errno));
    return 127;
#endif
}
