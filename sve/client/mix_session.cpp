#include "sve/client/mix_session.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "sve/client/mix_counters.h"
#include "sve/client/mix_report.h"

namespace ostrel::mix {
namespace {

// Opened at start so that an unwritable path stops the program before it runs, not after.
int g_fd = -1;
MixFormat g_format = MixFormat::text;
char g_path[4096]; // a copy: the program may change its environment
std::atomic<bool> g_finished{false};
// A child forked without exec inherits the counters and the file: only the process that opened
// it writes the report.
pid_t g_owner = 0;

std::string cannot_write(const char *path, int error) {
    return std::string("ostrel: cannot write the instruction mix to '") + path +
           "': " + std::strerror(error);
}

bool write_all(int fd, const std::string &text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string start_mix_from_environment() {
    const char *path = std::getenv(kMixFileVariable);
    if (!path || !*path) return "";
    const char *format = std::getenv(kMixFormatVariable);
    if (format && *format && !parse_format(format, &g_format))
        return std::string("ostrel: unknown instruction mix format '") + format +
               "' (OSTREL_MIX_FORMAT: text or csv)";
    g_fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (g_fd < 0) return cannot_write(path, errno);
    std::strncpy(g_path, path, sizeof g_path - 1);
    g_owner = ::getpid();
    enable();
    return "";
}

void finish_mix() {
    if (g_fd < 0 || ::getpid() != g_owner || g_finished.exchange(true)) return;
    const std::string text = format_report(build_report(snapshot()), g_format);
    const bool written = write_all(g_fd, text);
    const int error = errno;
    if (::close(g_fd) != 0 || !written) {
        const std::string line = cannot_write(g_path, written ? errno : error) + "\n";
        (void)!::write(STDERR_FILENO, line.data(), line.size());
    }
    g_fd = -1;
}

} // namespace ostrel::mix
