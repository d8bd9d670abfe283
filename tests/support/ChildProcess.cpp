// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& changes) {
    std::map<std::string, std::string> variables;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        variables[entry.substr(0, entry.find('='))] = entry;
    }
    for (const std::string& change : changes) {
        const std::size_t equals = change.find('=');
        if (equals == std::string::npos) {
            variables.erase(change);
        } else {
            variables[change.substr(0, equals)] = change;
        }
    }
    std::vector<std::string> result;
    for (auto& [name, entry] : variables) result.push_back(entry);
    return result;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& env, int keepFd) {
    if (argv.empty()) return;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
    const std::vector<std::string> environment = ChildEnvironment(env);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    m_pid = fork();
    if (m_pid == 0) {
        if (devNull >= 0) dup2(devNull, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    if (devNull >= 0) close(devNull);
    close(out[1]);
    close(err[1]);
    if (m_pid < 0) {
        close(out[0]);
        close(err[0]);
        return;
    }
    m_out = out[0];
    m_err = err[0];
    fcntl(m_err, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    Kill();
    if (m_out >= 0) close(m_out);
    if (m_err >= 0) close(m_err);
}

void ChildProcess::Kill() {
    if (m_pid > 0 && m_status < 0) {
        // Politely first, so that an X server can remove its lock file.
        kill(m_pid, SIGTERM);
        if (Wait(2000) < 0) {
            kill(m_pid, SIGKILL);
            Wait(5000);
        }
    }
}

bool ChildProcess::Fill(int timeoutMs) {
    if (m_out < 0) return false;
    pollfd fd{m_out, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return false;
    char chunk[4096];
    const ssize_t got = read(m_out, chunk, sizeof chunk);
    if (got <= 0) {
        close(m_out);
        m_out = -1;
        return false;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::optional<std::string> ChildProcess::ReadLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            m_lines.push_back(line);
            return line;
        }
        if (!Fill(MillisecondsLeft(deadline))) {
            if (m_out < 0 || MillisecondsLeft(deadline) == 0) return std::nullopt;
        }
    }
}

std::optional<std::string> ChildProcess::WaitForLine(
    const std::function<bool(const std::string&)>& match, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (auto line = ReadLine(MillisecondsLeft(deadline))) {
        if (match(*line)) return line;
    }
    return std::nullopt;
}

bool ChildProcess::WaitFor(const std::string& line, int timeoutMs) {
    return WaitForLine([&](const std::string& l) { return l == line; }, timeoutMs).has_value();
}

void ChildProcess::Drain() {
    while (ReadLine(0)) {
    }
}

std::string ChildProcess::ReadAll(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_out >= 0 && MillisecondsLeft(deadline) > 0) Fill(MillisecondsLeft(deadline));
    std::string rest = std::move(m_buffer);
    m_buffer.clear();
    return rest;
}

int ChildProcess::Wait(int timeoutMs) {
    if (m_pid <= 0) return -1;
    if (m_status >= 0) return m_status;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status = 0;
        const pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return m_status;
        }
        if (done < 0 || MillisecondsLeft(deadline) == 0) return -1;
        // Output is read meanwhile, so a program blocked on a full pipe can finish.
        if (!Fill(std::min(MillisecondsLeft(deadline), 10))) usleep(1000);
        ReadStderr();
    }
}

void ChildProcess::ReadStderr() {
    if (m_err < 0) return;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = read(m_err, chunk, sizeof chunk)) > 0) {
        m_stderr.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string ChildProcess::Stderr() {
    ReadStderr();
    return m_stderr;
}

CommandResult RunCommand(const std::vector<std::string>& argv, int timeoutMs,
                         const std::vector<std::string>& env) {
    ChildProcess child(argv, env);
    CommandResult result;
    if (!child.Started()) return result;
    result.out = child.ReadAll(timeoutMs);
    result.status = child.Wait(timeoutMs);
    result.err = child.Stderr();
    return result;
}

bool ProgramInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string rest(path);
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find(':', start);
        if (end == std::string::npos) end = rest.size();
        const std::string folder = rest.substr(start, end - start);
        if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}
