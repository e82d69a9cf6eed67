// ostrel-run [--vl BITS] [--client] [--dynamorio DIR] [--dynamorio-options TEXT]
//            [--client-options TEXT] [--trace FILE] [--mix FILE] [--mix-format text|csv]
//            [--] PROGRAM [ARGS...]
//
// Runs an unmodified, dynamically linked AArch64 program with its SVE instructions emulated. By
// default the preloaded trap library catches each SVE instruction's SIGILL; with --client the
// program runs under DynamoRIO with the client libostrel.so, which replaces SVE instructions as
// it translates the program. On an AArch64 host the program runs directly; on any other host it
// runs under qemu-aarch64 as a processor without SVE.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sve/client/vector_length_choice.h"

namespace {

constexpr const char *kUsage =
    "usage: ostrel-run [--vl BITS] [--client] [--dynamorio DIR] [--dynamorio-options TEXT]\n"
    "                  [--client-options TEXT] [--trace FILE] [--mix FILE]\n"
    "                  [--mix-format text|csv] [--] PROGRAM [ARGS...]\n"
    "  --vl BITS              the SVE vector length: a multiple of 128 from 128 to 2048;\n"
    "                         default: $OSTREL_VL, else 1536\n"
    "  --client               run under DynamoRIO with the client libostrel.so instead of the\n"
    "                         SIGILL trap\n"
    "  --dynamorio DIR        DynamoRIO's top directory (implies --client); default:\n"
    "                         $OSTREL_DYNAMORIO, else the DynamoRIO the build found\n"
    "  --dynamorio-options TEXT\n"
    "                         DynamoRIO's own options, e.g. -enable_traces (implies --client)\n"
    "  --client-options TEXT  arguments handed to the client (implies --client; it accepts\n"
    "                         -vl BITS, which wins over --vl, and nothing else before a \"--\")\n"
    "  --trace FILE           write the trace of the region of interest to FILE\n"
    "  --mix FILE             write the instruction mix (of the region of interest, when one\n"
    "                         is marked) to FILE at exit\n"
    "  --mix-format FORMAT    text (default) or csv\n";
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

struct Options {
    const char *vector_length = nullptr; // --vl's value as given, null when absent
    std::string trace_file;
    std::string mix_file;
    std::string mix_format;
    bool client = false;
    std::string dynamorio;         // DynamoRIO's top directory
    std::string dynamorio_options; // the framework's own, before the client's
    std::string client_options;    // handed to the client as they stand
    int program_index = 0;         // argv index of PROGRAM
};

int usage_error(const std::string &message) {
    std::fprintf(stderr, "ostrel-run: %s\n", message.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

// Returns -1 when the options are good, else the exit status.
int parse_options(int argc, char **argv, Options &options) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--client") {
            options.client = true;
            continue;
        }
        if (arg == "--vl") {
            if (i + 1 >= argc) return usage_error(arg + " needs a value");
            options.vector_length = argv[++i];
            continue;
        }
        if (arg == "--trace" || arg == "--dynamorio" || arg == "--dynamorio-options" ||
            arg == "--client-options" || arg == "--mix" || arg == "--mix-format") {
            if (i + 1 >= argc) return usage_error(arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--trace") options.trace_file = value;
            if (arg == "--mix") options.mix_file = value;
            if (arg == "--mix-format") {
                if (value != "text" && value != "csv")
                    return usage_error("unknown mix format '" + value + "' (text or csv)");
                options.mix_format = value;
            }
            if (arg == "--dynamorio") options.dynamorio = value, options.client = true;
            if (arg == "--dynamorio-options")
                options.dynamorio_options = value, options.client = true;
            if (arg == "--client-options") options.client_options = value, options.client = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') return usage_error("unknown option '" + arg + "'");
        break;
    }
    if (i >= argc) return usage_error("no program given");
    if (!options.mix_format.empty() && options.mix_file.empty())
        return usage_error("--mix-format needs --mix FILE");
    options.program_index = i;
    return -1;
}

// The mix is written at the program's exit: an unwritable path is refused before it starts.
bool mix_file_writable(const std::string &path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "ostrel-run: cannot write the instruction mix to '%s': %s\n",
                     path.c_str(), std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

// Runs `file` with `words` as its argument vector.
[[noreturn]] void exec_words(const std::string &file, std::vector<std::string> words,
                             const char *hint) {
    std::vector<char *> args;
    for (std::string &w : words)
        args.push_back(w.data());
    args.push_back(nullptr);
    execvp(file.c_str(), args.data());
    std::fprintf(stderr, "ostrel-run: cannot run %s: %s%s\n", file.c_str(), std::strerror(errno),
                 hint);
    std::exit(errno == ENOENT ? 127 : 126);
}

// The library of the AArch64 tree: beside this program on an AArch64 host, else in the AArch64
// tree that `make` builds beside this one.
std::string aarch64_library(const char *variable, const std::string &name) {
    const std::string here = own_directory();
#if defined(__aarch64__)
    const std::string built = here + "/../lib/" + name;
    const std::string installed = built;
#else
    const std::string built = here + "/../../aarch64/lib/" + name;
    // `make install` lays the AArch64 libraries beside the host's under lib/.
    const std::string installed = here + "/../lib/aarch64-linux-gnu/" + name;
#endif
    return first_existing({env_or(variable, ""), built, installed});
}

// How DynamoRIO runs a program: its library is started in the program's place, with the
// program's argument vector, and told the program's path and its options through the
// environment (what drrun does on Linux).
struct DynamoRioLaunch {
    std::string library;                  // libdynamorio.so
    std::vector<std::string> environment; // NAME=VALUE
};

int prepare_dynamorio(const Options &options, const std::string &program,
                      const std::string &sysroot, DynamoRioLaunch &launch) {
    std::string home = options.dynamorio;
    if (home.empty()) home = env_or("OSTREL_DYNAMORIO", OSTREL_DEFAULT_DYNAMORIO);
    if (home.empty())
        return usage_error("--client needs DynamoRIO: give --dynamorio DIR or set "
                           "OSTREL_DYNAMORIO (the directory holding cmake/ and lib64/)");
    launch.library = first_existing(
        {home + "/lib64/release/libdynamorio.so", home + "/lib64/debug/libdynamorio.so"});
    if (launch.library.empty()) {
        std::fprintf(stderr, "ostrel-run: no lib64/release/libdynamorio.so under %s\n",
                     home.c_str());
        return 2;
    }
    const std::string client = aarch64_library("OSTREL_CLIENT_LIBRARY", "libostrel.so");
    if (client.empty()) {
        std::fputs("ostrel-run: cannot find libostrel.so (build it with `make "
                   "DynamoRIO_DIR=<DynamoRIO>/cmake`, or set OSTREL_CLIENT_LIBRARY)\n",
                   stderr);
        return 2;
    }
    std::string dr_options = "-code_api";
    if (!sysroot.empty()) dr_options += " -xarch_root " + sysroot;
    if (!options.dynamorio_options.empty()) dr_options += " " + options.dynamorio_options;
    dr_options += " -client_lib '" + client + ";0;" + options.client_options + "'";
    launch.environment = {"DYNAMORIO_EXE_PATH=" + program, "DYNAMORIO_OPTIONS=" + dr_options};
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    const int parse_status = parse_options(argc, argv, options);
    if (parse_status >= 0) return parse_status;
    // The program learns its length from the environment, which an exec'ed child inherits (a
    // forked one keeps the length it was started with).
    const ostrel::VectorLengthChoice length = ostrel::choose_vector_length(
        "--vl", options.vector_length, std::getenv(ostrel::kVectorLengthVariable));
    if (!length.error.empty()) {
        std::fprintf(stderr, "ostrel-run: %s\n", length.error.c_str());
        return 2;
    }
    const int i = options.program_index;
    const std::string program = resolve_program(argv[i]);
    if (!is_file(program)) {
        std::fprintf(stderr, "ostrel-run: %s: no such program\n", argv[i]);
        return 127;
    }
    std::vector<std::string> environment;
    if (length.chosen)
        environment.push_back(std::string(ostrel::kVectorLengthVariable) + "=" +
                              std::to_string(length.bits));
    if (!options.trace_file.empty())
        environment.push_back("OSTREL_TRACE_FILE=" + options.trace_file);
    if (!options.mix_file.empty()) {
        if (!mix_file_writable(options.mix_file)) return 1;
        environment.push_back("OSTREL_MIX_FILE=" + options.mix_file);
        environment.push_back("OSTREL_MIX_FORMAT=" +
                              (options.mix_format.empty() ? "text" : options.mix_format));
    }

#if defined(__aarch64__)
    const std::string sysroot;
#else
    const std::string sysroot = env_or("OSTREL_SYSROOT", kDefaultSysroot);
    if (!is_file(sysroot + "/lib/ld-linux-aarch64.so.1")) {
        std::fprintf(stderr,
                     "ostrel-run: no AArch64 sysroot at %s (install g++-aarch64-linux-gnu, or set "
                     "OSTREL_SYSROOT)\n",
                     sysroot.c_str());
        return 2;
    }
#endif

    // What the processor runs: the program itself, or DynamoRIO's library running it.
    std::string started = program;
    if (options.client) {
        DynamoRioLaunch launch;
        const int status = prepare_dynamorio(options, program, sysroot, launch);
        if (status >= 0) return status;
        started = launch.library;
        environment.insert(environment.end(), launch.environment.begin(), launch.environment.end());
    } else {
        const std::string trap = aarch64_library("OSTREL_TRAP_LIBRARY", "libostrel_trap.so");
        if (trap.empty()) {
            std::fputs("ostrel-run: cannot find the AArch64 libostrel_trap.so (build it with "
                       "`make`, or set OSTREL_TRAP_LIBRARY)\n",
                       stderr);
            return 2;
        }
        environment.push_back("LD_PRELOAD=" + trap);
    }

#if defined(__aarch64__)
    for (const std::string &setting : environment)
        putenv(strdup(setting.c_str()));
    // argv[0] stays the program's, also when DynamoRIO's library is started in its place.
    std::vector<std::string> words(argv + i, argv + argc);
    exec_words(started, words, "");
#else
    const std::string qemu = env_or("OSTREL_QEMU", "qemu-aarch64");
    std::vector<std::string> words = {qemu, "-cpu", "neoverse-n1", "-L", sysroot};
    for (const std::string &setting : environment)
        words.insert(words.end(), {"-E", setting});
    // argv[0] stays the program's, also when DynamoRIO's library is started in its place.
    words.insert(words.end(), {"-0", argv[i], started});
    words.insert(words.end(), argv + i + 1, argv + argc);
    exec_words(qemu, words, " (install qemu-user, or set OSTREL_QEMU)");
#endif
}
