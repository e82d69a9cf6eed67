#include "tests/oracle_reference/reference_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace ostrel::oracle::testing {
namespace {

std::string read_all(int fd) {
    std::string text;
    char buf[1 << 16];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    return text;
}

bool write_all(int fd, const char *data, std::size_t bytes) {
    while (bytes > 0) {
        const ssize_t n = write(fd, data, bytes);
        if (n <= 0) return false;
        data += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

[[noreturn]] void exec_command(const std::vector<std::string> &command) {
    std::vector<char *> argv;
    for (const std::string &w : command)
        argv.push_back(const_cast<char *>(w.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

int temp_file(const std::string &contents) {
    char path[] = "/tmp/ostrel-oracle-ref-testXXXXXX";
    const int fd = mkstemp(path);
    unlink(path);
    write_all(fd, contents.data(), contents.size());
    lseek(fd, 0, SEEK_SET);
    return fd;
}

} // namespace

std::vector<std::string> reference_command() {
    std::vector<std::string> words;
    std::istringstream in(OSTREL_ORACLE_REF_EMULATOR);
    for (std::string w; std::getline(in, w, '|');)
        if (!w.empty()) words.push_back(w);
    words.push_back(OSTREL_ORACLE_REF);
    return words;
}

RunnerOutput run_command(const std::vector<std::string> &command, const std::string &input) {
    const int in_fd = temp_file(input);
    const int out_fd = temp_file("");
    const int err_fd = temp_file("");
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in_fd, STDIN_FILENO);
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        exec_command(command);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    lseek(out_fd, 0, SEEK_SET);
    lseek(err_fd, 0, SEEK_SET);
    RunnerOutput r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_all(out_fd),
                   read_all(err_fd)};
    close(in_fd);
    close(out_fd);
    close(err_fd);
    return r;
}

std::vector<Result> parse_results(const std::string &out) {
    std::vector<Result> results;
    std::size_t at = 0;
    while (at < out.size()) {
        Result r{};
        if (out.size() - at < sizeof r.header) {
            ADD_FAILURE() << "trailing fragment of " << out.size() - at << " bytes";
            break;
        }
        std::memcpy(&r.header, out.data() + at, sizeof r.header);
        at += sizeof r.header;
        if (r.header.magic != kResultMagic) {
            ADD_FAILURE() << "bad result magic in result " << results.size();
            break;
        }
        if (r.header.memory_bytes != 0 && r.header.memory_bytes != kWindowBytes) {
            ADD_FAILURE() << "result " << results.size() << " has memory_bytes "
                          << r.header.memory_bytes;
            break;
        }
        if (out.size() - at < r.header.memory_bytes) {
            ADD_FAILURE() << "result " << results.size() << " lacks its window";
            break;
        }
        r.window.assign(out.begin() + at, out.begin() + at + r.header.memory_bytes);
        at += r.header.memory_bytes;
        results.push_back(std::move(r));
    }
    return results;
}

std::vector<Result> run_cases(const std::string &input, std::size_t expected_results) {
    const RunnerOutput r = run_command(reference_command(), input);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<Result> results = parse_results(r.out);
    EXPECT_EQ(results.size(), expected_results);
    results.resize(expected_results); // keeps callers' indexing safe when the count is wrong
    return results;
}

} // namespace ostrel::oracle::testing
