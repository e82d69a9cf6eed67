#include "tests/support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace ostrel::testing {
namespace {

std::string read_all(int fd) {
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    return text;
}

std::vector<std::string> emulator_prefix() {
    std::vector<std::string> words;
    std::istringstream in(OSTREL_TEST_EMULATOR);
    for (std::string w; std::getline(in, w, ',');)
        if (!w.empty()) words.push_back(w);
    return words;
}

} // namespace

ProgramResult run_program(const std::string &program, const std::vector<std::string> &args) {
    std::vector<std::string> words = emulator_prefix();
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());

    // Outputs go to temporary files so a large output cannot block the child on a full pipe.
    char out_path[] = "/tmp/ostrel-test-outXXXXXX";
    char err_path[] = "/tmp/ostrel-test-errXXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        std::vector<char *> argv;
        for (std::string &w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    lseek(out_fd, 0, SEEK_SET);
    lseek(err_fd, 0, SEEK_SET);
    ProgramResult r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_all(out_fd),
                    read_all(err_fd), WIFSIGNALED(status) ? WTERMSIG(status) : 0};
    close(out_fd);
    close(err_fd);
    unlink(out_path);
    unlink(err_path);
    return r;
}

std::vector<std::string> split_lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace ostrel::testing
