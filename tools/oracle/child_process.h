// A runner as a child process: its standard input and output are pipes to us, its standard
// error is ours.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ostrel::oracle {

struct ChildProcess {
    pid_t pid = -1;
    int to_child = -1;   // its standard input
    int from_child = -1; // its standard output
};

bool start_child(const std::vector<std::string> &command, ChildProcess &child, std::string &error);
// Closes our ends of the pipes.
void close_child_pipes(ChildProcess &child);
// Reaps the child and describes how it ended ("exit status 1", "signal 11"). With
// `kill_first`, a child still running after `grace_ms` milliseconds is killed.
std::string stop_child(ChildProcess &child, bool kill_first, int grace_ms = 0);

// Whether `command` names an executable file, directly or through PATH.
bool executable_exists(const std::string &command);

} // namespace ostrel::oracle
