#include "tools/oracle/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace ostrel::oracle {
namespace {
std::string describe(int status);
}

bool start_child(const std::vector<std::string> &command, ChildProcess &child, std::string &error) {
    int in[2], out[2];
    // Close-on-exec, so children started by other workers do not hold our pipes open.
    if (pipe2(in, O_CLOEXEC) != 0) {
        error = "cannot create a pipe";
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        error = "cannot create a pipe";
        return false;
    }
    std::vector<char *> argv;
    for (const std::string &word : command)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        for (int fd : {in[0], in[1], out[0], out[1]})
            close(fd);
        error = "cannot fork";
        return false;
    }
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        signal(SIGPIPE, SIG_DFL);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    child.pid = pid;
    child.to_child = in[1];
    child.from_child = out[0];
    return true;
}

void close_child_pipes(ChildProcess &child) {
    if (child.to_child >= 0) close(child.to_child);
    if (child.from_child >= 0) close(child.from_child);
    child.to_child = child.from_child = -1;
}

std::string stop_child(ChildProcess &child, bool kill_first, int grace_ms) {
    if (child.pid < 0) return "not started";
    int status = 0;
    for (int waited = 0; waited < grace_ms; waited += 10) {
        if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.pid = -1;
            break;
        }
        usleep(10000);
    }
    if (child.pid < 0) return describe(status);
    if (kill_first) kill(child.pid, SIGKILL);
    while (waitpid(child.pid, &status, 0) < 0) {
    }
    child.pid = -1;
    return describe(status);
}

namespace {
std::string describe(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "unknown status";
}
} // namespace

bool executable_exists(const std::string &command) {
    if (command.find('/') != std::string::npos) return access(command.c_str(), X_OK) == 0;
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + command;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

} // namespace ostrel::oracle
