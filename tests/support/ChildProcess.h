// SPDX-License-Identifier: GPL-3.0-or-later
// A program started by a test, its standard output read line by line and its standard error
// collected, with every wait bounded by a timeout.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
public:
    /// Starts argv[0] (searched in PATH) with argv. env entries "NAME=value" set a variable for the
    /// child, "NAME" alone removes it. keepFd, when not -1, stays open in the child.
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::vector<std::string>& env = {}, int keepFd = -1);
    /// Kills the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }

    /// The next line of standard output, or none when none came within timeoutMs or the output
    /// has ended.
    std::optional<std::string> ReadLine(int timeoutMs);
    /// Reads lines until one for which match is true and returns it; none on timeout or end.
    std::optional<std::string> WaitForLine(const std::function<bool(const std::string&)>& match,
                                           int timeoutMs);
    /// Waits for a line equal to line.
    bool WaitFor(const std::string& line, int timeoutMs);
    /// Every line read so far, oldest first.
    const std::vector<std::string>& Lines() const { return m_lines; }
    /// Reads what is already there without waiting.
    void Drain();
    /// The rest of standard output until it ends (at most timeoutMs).
    std::string ReadAll(int timeoutMs);

    /// Waits for the end: the exit status, 128 + signal for a killed program, or -1 when it still
    /// runs after timeoutMs.
    int Wait(int timeoutMs);
    /// What the program wrote to standard error so far.
    std::string Stderr();

    void Kill();

private:
    bool Fill(int timeoutMs);
    void ReadStderr();

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_buffer;
    std::string m_stderr;
    std::vector<std::string> m_lines;
    int m_status = -1;
};

/// What a finished command printed and its exit status (-1: did not end in time).
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
/// Runs argv to its end, at most timeoutMs.
CommandResult RunCommand(const std::vector<std::string>& argv, int timeoutMs,
                         const std::vector<std::string>& env = {});

/// Whether name is an executable file in one of PATH's folders.
bool ProgramInPath(const std::string& name);
