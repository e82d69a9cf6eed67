#include "trace_test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace ostrel::trace::testing {
namespace {

int exit_code_of(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int wait_for(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return exit_code_of(status);
}

void send_fd_to(const std::string &path, int target) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::dup2(fd, target) < 0) _exit(126);
    ::close(fd);
}

} // namespace

std::vector<std::string> list_directory(const std::string &path) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TempDir::TempDir() {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/ostrel-trace-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<unsigned char> read_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<unsigned char> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

std::string read_text(const std::string &path) {
    const std::vector<unsigned char> bytes = read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void write_bytes(const std::string &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ChildResult run_in_child(const std::function<int()> &scenario) {
    std::fflush(nullptr); // or the child would print the parent's pending output again
    ChildResult result;
    result.pid = ::fork();
    if (result.pid < 0) return result;
    if (result.pid == 0) {
        int code = 125;
        try {
            code = scenario();
        } catch (...) {
        }
        std::fflush(nullptr);
        _exit(code);
    }
    result.exit_code = wait_for(result.pid);
    return result;
}

ChildResult run_program(const std::vector<std::string> &argv, const std::string &stdout_path,
                        const std::string &stderr_path) {
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    std::fflush(nullptr);
    ChildResult result;
    result.pid = ::fork();
    if (result.pid < 0) return result;
    if (result.pid == 0) {
        send_fd_to(stdout_path, STDOUT_FILENO);
        send_fd_to(stderr_path, STDERR_FILENO);
        ::execvp(args[0], args.data());
        _exit(127);
    }
    result.exit_code = wait_for(result.pid);
    return result;
}

void redirect_stderr(const std::string &path) {
    send_fd_to(path, STDERR_FILENO);
}

} // namespace ostrel::trace::testing
