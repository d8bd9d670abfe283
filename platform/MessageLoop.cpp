// SPDX-License-Identifier: GPL-3.0-or-later
// The message queue, the timers and the modal loops: one user-interface thread, one message at a
// time, whichever backend supplies the events.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <utility>
#include <vector>

#include "platform/Backend.h"
#include "platform/Wnd.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    CWnd* window;
    UINT_PTR id;
    std::chrono::milliseconds period;
    Clock::time_point due;
};

struct LoopState {
    std::deque<MSG> queue;
    std::vector<Timer> timers;
    // Windows that own the running modal loops, innermost last; null: no window gets input.
    std::vector<CWnd*> modalStack;
    std::unique_ptr<Backend> backend;
    std::string applicationName = "floemaze";
};

LoopState& State() {
    static LoopState state;
    return state;
}

// Queues WM_TIMER for every timer that is due; a timer that fell behind is not made up, its next
// tick is one period from now.
bool PostDueTimers() {
    const auto now = Clock::now();
    bool posted = false;
    for (Timer& timer : State().timers) {
        if (timer.due > now) continue;
        timer.due += timer.period;
        if (timer.due <= now) timer.due = now + timer.period;
        State().queue.push_back(MSG{timer.window, WM_TIMER, timer.id, 0});
        posted = true;
    }
    return posted;
}

std::optional<std::uint32_t> MillisecondsToNextTimer() {
    const auto& timers = State().timers;
    if (timers.empty()) return std::nullopt;
    const auto next =
        std::min_element(timers.begin(), timers.end(), [](const Timer& a, const Timer& b) {
            return a.due < b.due;
        })->due;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<std::uint32_t>(std::max<long long>(wait, 0));
}

}  // namespace

Backend& CurrentBackend() {
    auto& backend = State().backend;
    if (!backend) {
        std::fprintf(stderr,
                     "%s: no window system is installed; the program's main installs one before "
                     "any window is made\n",
                     State().applicationName.c_str());
        std::abort();
    }
    return *backend;
}

bool HasBackend() {
    return State().backend != nullptr;
}

std::unique_ptr<Backend> SetBackend(std::unique_ptr<Backend> backend) {
    return std::exchange(State().backend, std::move(backend));
}

void PostToQueue(const MSG& msg) {
    State().queue.push_back(msg);
}

void PostPaint(CWnd* window) {
    const auto& queue = State().queue;
    const bool queued = std::any_of(queue.begin(), queue.end(), [&](const MSG& m) {
        return m.hwnd == window && m.message == WM_PAINT;
    });
    if (!queued) PostToQueue(MSG{window, WM_PAINT, 0, 0});
}

bool InputAllowed(const CWnd* window) {
    const auto& stack = State().modalStack;
    return stack.empty() || stack.back() == window;
}

CWnd* InnermostModalWindow() {
    const auto& stack = State().modalStack;
    return stack.empty() ? nullptr : stack.back();
}

bool DeliverMessage(const MSG& msg) {
    if (msg.hwnd == nullptr) return false;
    if (IsInputMessage(msg.message) && !InputAllowed(msg.hwnd)) return false;
    MSG copy = msg;
    if (!msg.hwnd->PreTranslateMessage(&copy)) msg.hwnd->Dispatch(copy);
    return true;
}

void DrainQueue() {
    auto& queue = State().queue;
    while (!queue.empty()) {
        const MSG msg = queue.front();
        queue.pop_front();
        DeliverMessage(msg);
    }
}

std::size_t QueuedMessageCount() {
    return State().queue.size();
}

void RunModalLoop(const bool& done, CWnd* modalWindow) {
    State().modalStack.push_back(modalWindow);
    Backend& backend = CurrentBackend();
    auto& queue = State().queue;
    while (!done) {
        if (!queue.empty()) {
            const MSG msg = queue.front();
            queue.pop_front();
            DeliverMessage(msg);
            continue;
        }
        if (backend.ClockedTimers() && PostDueTimers()) continue;
        const auto timeout = backend.ClockedTimers() ? MillisecondsToNextTimer() : std::nullopt;
        if (!backend.WaitForEvents(timeout)) break;
    }
    State().modalStack.pop_back();
}

int ModalDepth() {
    return static_cast<int>(State().modalStack.size());
}

void StartTimer(CWnd* window, UINT_PTR id, UINT periodMs) {
    StopTimer(window, id);
    const std::chrono::milliseconds period(std::max<UINT>(periodMs, 1));
    State().timers.push_back(Timer{window, id, period, Clock::now() + period});
}

bool StopTimer(CWnd* window, UINT_PTR id) {
    auto& timers = State().timers;
    const auto before = timers.size();
    std::erase_if(timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    return timers.size() != before;
}

void ForgetWindow(CWnd* window) {
    std::erase_if(State().timers, [&](const Timer& t) { return t.window == window; });
    std::erase_if(State().queue, [&](const MSG& m) { return m.hwnd == window; });
}

std::size_t TimerCount(const CWnd* window) {
    return static_cast<std::size_t>(
        std::count_if(State().timers.begin(), State().timers.end(),
                      [&](const Timer& t) { return t.window == window; }));
}

bool TimerRuns(const CWnd* window, UINT_PTR id) {
    return std::any_of(State().timers.begin(), State().timers.end(),
                       [&](const Timer& t) { return t.window == window && t.id == id; });
}

std::string ApplicationName() {
    return State().applicationName;
}
void SetApplicationName(std::string name) {
    State().applicationName = std::move(name);
}

}  // namespace platform
