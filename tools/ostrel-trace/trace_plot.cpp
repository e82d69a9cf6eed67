#include "trace_plot.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include "trace_dump.h"

namespace ostrel::trace {
namespace {

bool ends_with(const std::string &text, const std::string &tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Beside the program: build/<tree>/bin and <prefix>/bin both have ../share/ostrel.
std::string script_path() {
    if (const char *set = std::getenv("OSTREL_PLOT_SCRIPT"); set && *set) return set;
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(".");
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/../share/ostrel/trace_plot.py";
}

int exit_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 1;
}

} // namespace

bool plot_format_known(const std::string &path) {
    return ends_with(path, ".png") || ends_with(path, ".svg");
}

int plot_trace(const TraceFile &trace, const std::string &out) {
    const std::string script = script_path();
    if (::access(script.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "ostrel-trace: cannot find the drawing script %s\n", script.c_str());
        return 1;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        std::perror("ostrel-trace: pipe");
        return 1;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("ostrel-trace: fork");
        return 1;
    }
    if (child == 0) {
        ::dup2(fds[0], STDIN_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        // Debian's python3 first: python3-matplotlib is installed for it, while PATH may lead
        // to another Python (a virtual environment, pyenv) that lacks it.
        const char *python = std::getenv("OSTREL_PYTHON");
        if (!python || !*python)
            python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
        ::execlp(python, python, script.c_str(), out.c_str(), static_cast<char *>(nullptr));
        std::fprintf(stderr, "ostrel-trace: plot needs python3 (apt-get install python3)\n");
        ::_exit(127);
    }
    ::close(fds[0]);
    // The script may stop reading early (it failed): its status tells, not a SIGPIPE here.
    std::signal(SIGPIPE, SIG_IGN);
    if (std::FILE *to_script = ::fdopen(fds[1], "w")) {
        dump_records(trace.records, DumpFormat::kCsv, to_script);
        std::fclose(to_script);
    } else {
        ::close(fds[1]);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return exit_status(status);
}

} // namespace ostrel::trace
