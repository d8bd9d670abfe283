// SPDX-License-Identifier: GPL-3.0-or-later
// The game with a watch on it, for the long runs: the real window on the real window system, whose
// dialog also reports on standard output. Once a second: the ticks of each timer in that second,
// the deepest nesting of timer handlers, the longest message queue seen, the open modal loops,
// whether the window is minimised, and the resident memory. At once: every change of the seal,
// of the start-screen phase and of the modal loops, every key message and every paint.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/FloemazeDlg.h"
#include "platform/App.h"
#include "platform/Backend.h"
#include "platform/sdl/SdlBackend.h"
#include "res/Resources.h"

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

class CWatchedDlg final : public CFloemazeDlg {
protected:
    void OnTimer(UINT_PTR id) override {
        ++m_depth;
        m_maxDepth = std::max(m_maxDepth, m_depth);
        NoteQueue();
        ++m_ticks[id == 1 ? 0 : 1];
        NoteModal();
        CFloemazeDlg::OnTimer(id);
        --m_depth;
        NoteGame();
        Report();
    }

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            NoteQueue();
            ++m_keys;
            // Bit 30: the key was down already, an auto-repeat.
            const bool repeat = (msg->lParam & (LPARAM{1} << 30)) != 0;
            if (repeat) ++m_repeats;
            std::printf("key %lld %u repeat=%d queue=%zu\n", Now(),
                        static_cast<unsigned>(msg->wParam), repeat ? 1 : 0,
                        platform::QueuedMessageCount());
        } else if (msg->message == WM_KEYUP) {
            std::printf("keyup %lld %u\n", Now(), static_cast<unsigned>(msg->wParam));
        }
        return CFloemazeDlg::PreTranslateMessage(msg);
    }

    void OnPaint() override {
        std::printf("paint %lld iconic=%d\n", Now(), IsIconic() ? 1 : 0);
        CFloemazeDlg::OnPaint();
    }

private:
    // The monotonic clock, which the driver in another process reads alike.
    static long long Now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    void NoteQueue() { m_maxQueue = std::max(m_maxQueue, platform::QueuedMessageCount()); }
    void NoteModal() {
        const int modal = platform::ModalDepth();
        if (modal != m_modal) std::printf("modal %lld %d\n", Now(), modal);
        m_modal = modal;
    }

    // The seal's field and its open neighbours (up, down, left, right), and how many open fields
    // lie straight ahead beyond the one it walks into.
    void NoteGame() {
        NoteModal();
        if (m_startPhase != m_phase) std::printf("phase %lld %d\n", Now(), m_startPhase);
        m_phase = m_startPhase;
        if (!m_gameStarted) return;
        const CMazeBoard& maze = m_maze;
        const int x = maze.m_seal.m_nX;
        const int y = maze.m_seal.m_nY;
        const int dir = maze.m_nDirection;
        if (x == m_sealX && y == m_sealY && dir == m_sealDir) return;
        m_sealX = x;
        m_sealY = y;
        m_sealDir = dir;
        constexpr int kCol[4] = {0, 0, -1, 1};
        constexpr int kRow[4] = {-1, 1, 0, 0};
        const auto open = [&](int c, int r) {
            const MazeCell* cell = maze.CellAt(c, r);
            return cell != nullptr && cell->m_bOpen == 1;
        };
        char neighbours[5] = "0000";
        for (int d = 0; d < 4; ++d) {
            if (open(maze.m_nSealCol + kCol[d], maze.m_nSealRow + kRow[d])) neighbours[d] = '1';
        }
        // Open fields in a straight line from the seal's field, in each direction.
        int runs[4] = {0, 0, 0, 0};
        for (int d = 0; d < 4; ++d) {
            while (open(maze.m_nSealCol + kCol[d] * (runs[d] + 1),
                        maze.m_nSealRow + kRow[d] * (runs[d] + 1))) {
                ++runs[d];
            }
        }
        const int ahead = dir >= 0 && dir < 4 ? runs[dir] : 0;
        const MazeCell* here = maze.CellAt(maze.m_nSealCol, maze.m_nSealRow);
        std::printf(
            "seal %lld x=%d y=%d dir=%d field=%d,%d open=%s ahead=%d runs=%d,%d,%d,%d home=%d "
            "running=%d\n",
            Now(), x, y, dir, maze.m_nSealCol, maze.m_nSealRow, neighbours, ahead, runs[0], runs[1],
            runs[2], runs[3], here != nullptr ? here->m_nDistance : -1, maze.m_bRunning ? 1 : 0);
    }

    void Report() {
        const long long now = Now();
        if (m_second < 0) m_second = now;
        if (now - m_second < 1000) return;
        std::printf(
            "second %lld ms=%lld t1=%d t2=%d depth=%d queue=%zu modal=%d keys=%d repeats=%d "
            "iconic=%d rss=%ld\n",
            now, now - m_second, m_ticks[0], m_ticks[1], m_maxDepth, m_maxQueue, m_modal, m_keys,
            m_repeats, IsIconic() ? 1 : 0, ResidentKilobytes());
        std::fflush(stdout);
        m_second = now;
        m_ticks[0] = m_ticks[1] = 0;
        m_maxDepth = m_depth;
        m_maxQueue = 0;
        m_keys = m_repeats = 0;
    }

    long long m_second = -1;
    int m_ticks[2] = {0, 0};
    int m_depth = 0;
    int m_maxDepth = 0;
    std::size_t m_maxQueue = 0;
    int m_modal = -1;
    int m_keys = 0;
    int m_repeats = 0;
    int m_phase = -1;
    int m_sealX = -1;
    int m_sealY = -1;
    int m_sealDir = -1;
};

class CWatchedApp final : public CWinApp {
public:
    CWatchedApp() : CWinApp(nullptr) {}
    BOOL InitInstance() override {
        res::RegisterResources();
        CWinApp::InitInstance();
        CWatchedDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        std::printf("end\n");
        return FALSE;
    }
};

CWatchedApp theApp;

}  // namespace

int main(int argc, char** argv) {
    // Lines, not blocks, so that the driver sees each when it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return platform::RunApplication(argc, argv, platform::sdl::CreateSdlBackend);
}
