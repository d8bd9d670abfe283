// SPDX-License-Identifier: GPL-3.0-or-later
// A small program on the real window system, for the test of the SDL backend: one window built
// like the game's (captionless, 700 × 500, two timers, system menu with the About entry), whose
// handlers report what they receive on standard output, one line each.
//
//   ready | paint | timer <id> | key <vk> | down <x> <y> | up <x> <y> | syscommand <id>
//   box open | box closed <result> | about <result> | presented | end <result>
//
// Keys: M opens a message box, P presents a test pattern at (100, 80). A press in the right half
// of the window starts a window move, as a press on the game's background does.
// --ticks N ends the program after N ticks of the 40 ms timer.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/App.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/WindowDC.h"
#include "platform/sdl/SdlBackend.h"
#include "res/Resources.h"
#include "tests/platform/probe/ProbePattern.h"

namespace {

int g_quitAfterTicks = 0;

void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_FLOEMAZE_DIALOG) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (CMenu* menu = GetSystemMenu(FALSE)) {
            std::string about;
            platform::LoadStringResource(IDS_ABOUTBOX, about);
            menu->AppendMenu(MF_SEPARATOR);
            menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
        HICON icon = LoadIcon(IDR_MAINFRAME);
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SetWindowText(probe::kWindowTitle);
        SetWindowPos(nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
        SetTimer(1, 150);
        SetTimer(2, 40);
        Report("ready");
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override { return CWnd::PreTranslateMessage(msg); }

protected:
    void OnPaint() override {
        CPaintDC dc(this);
        dc.FillSolidRect(0, 0, 700, 500, probe::kBackground);
        Report("paint");
    }

    void OnTimer(UINT_PTR id) override {
        Report("timer %u", static_cast<unsigned>(id));
        // A small change on every tick, as the game makes: a square that changes its colour.
        {
            CClientDC dc(this);
            ++m_ticks[id == 1 ? 0 : 1];
            const int x = id == 1 ? 670 : 685;
            dc.FillSolidRect(
                x, 5, 10, 10,
                (m_ticks[id == 1 ? 0 : 1] & 1) != 0 ? RGB(255, 200, 0) : RGB(0, 90, 200));
        }
        if (g_quitAfterTicks > 0 && id == 2 && m_ticks[1] >= g_quitAfterTicks) EndDialog(IDOK);
        Default();
    }

    void OnKeyDown(UINT key, UINT /*repeatCount*/, UINT /*flags*/) override {
        Report("key %u", key);
        if (key == 'M') {
            Report("box open");
            const int result = AfxMessageBox(probe::kBoxText);
            Report("box closed %d", result);
        } else if (key == 'P') {
            PresentPattern();
            Report("presented");
        }
        Default();
    }

    void OnLButtonDown(UINT /*flags*/, CPoint point) override {
        Report("down %d %d", point.x, point.y);
        if (point.x >= 350) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        Default();
    }

    void OnLButtonUp(UINT /*flags*/, CPoint point) override {
        Report("up %d %d", point.x, point.y);
        Default();
    }

    void OnSysCommand(UINT id, LPARAM lParam) override {
        Report("syscommand %u", id);
        if ((id & 0xFFF0) == IDM_ABOUTBOX) {
            CDialog about(IDD_ABOUTBOX);
            Report("about %d", static_cast<int>(about.DoModal()));
            return;
        }
        CDialog::OnSysCommand(id, lParam);
    }

private:
    // A memory image with a pattern no two neighbouring pixels share, copied to the window.
    void PresentPattern() {
        CDC memory;
        memory.CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = probe::kPattern.right - probe::kPattern.left;
        info.bmiHeader.biHeight = probe::kPattern.bottom - probe::kPattern.top;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        HBITMAP bitmap =
            CreateDIBSection(memory.GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap == nullptr) return;
        HGDIOBJ old = memory.SelectObject(bitmap);
        const int width = info.bmiHeader.biWidth;
        const int height = info.bmiHeader.biHeight;
        for (int y = 0; y < height; ++y) {
            // Bottom-up rows: the first row in memory is the bottom one.
            unsigned char* row = static_cast<unsigned char*>(bits) +
                                 static_cast<std::size_t>(height - 1 - y) * DibStride(width, 24);
            for (int x = 0; x < width; ++x) {
                const COLORREF c = probe::PatternAt(x, y);
                row[x * 3 + 0] = GetBValue(c);
                row[x * 3 + 1] = GetGValue(c);
                row[x * 3 + 2] = GetRValue(c);
            }
        }
        CClientDC dc(this);
        dc.BitBlt(probe::kPattern.left, probe::kPattern.top, width, height, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
        DeleteObject(bitmap);
    }

    int m_ticks[2] = {0, 0};
};

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        ProbeDialog dialog;
        m_pMainWnd = &dialog;
        const INT_PTR result = dialog.DoModal();
        m_pMainWnd = nullptr;
        Report("end %d", static_cast<int>(result));
        return FALSE;
    }
};

ProbeApp theApp;

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--ticks") == 0) g_quitAfterTicks = std::atoi(argv[i + 1]);
    }
    res::RegisterResources();
    return platform::RunApplication(argc, argv, platform::sdl::CreateSdlBackend);
}
