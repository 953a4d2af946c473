#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// A child process started by a whole-program test, with its own environment.
struct ChildProcess {
    pid_t pid = -1;
};

// Starts `program` with `args`, adding `env` to (or replacing in) the test's environment.
// Standard output and error go to `output_file` when given.
ChildProcess start_process(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env, const std::string& output_file = {});
// Waits up to `timeout_ms` for the child to end; returns its exit status, or -1 on timeout,
// or 128 + signal when it was killed by a signal.
int wait_process(ChildProcess& child, int timeout_ms);
bool process_running(const ChildProcess& child);
// Sends SIGKILL and reaps the child if it is still running.
void kill_process(ChildProcess& child);
