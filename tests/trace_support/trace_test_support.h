// Helpers for the trace-support tests: scratch directories, files as bytes, and child
// processes, since the library's state is one-shot per process.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ostrel::trace::testing {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The names in a directory, sorted.
std::vector<std::string> list_directory(const std::string &path);

std::vector<unsigned char> read_bytes(const std::string &path);
std::string read_text(const std::string &path);
void write_bytes(const std::string &path, const std::vector<unsigned char> &bytes);

struct ChildResult {
    pid_t pid = -1;
    int exit_code = -1; // 128 + signal number when the child was killed
};

// Runs `scenario` in a forked child, which exits with its result; an exception counts as 125.
// The child leaves with _exit: nothing of the parent's (gtest's) state is torn down twice.
ChildResult run_in_child(const std::function<int()> &scenario);

// Runs `argv` with stdout and stderr sent to the given files.
ChildResult run_program(const std::vector<std::string> &argv, const std::string &stdout_path,
                        const std::string &stderr_path);

// Points stderr (fd 2) at `path`, for a child whose messages the parent checks.
void redirect_stderr(const std::string &path);

} // namespace ostrel::trace::testing
