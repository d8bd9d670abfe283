// SPDX-License-Identifier: GPL-3.0-or-later
// The window framework on the headless backend: modal loops, timers, dispatch, default
// processing, message boxes and window device contexts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/WindowDC.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"

namespace {

namespace headless = platform::headless;

// A window like the game's: captionless template, its own keyboard handling, a log of what it
// received.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_FLOEMAZE_DIALOG) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetWindowPos(nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
        if (cancelOnInit) {
            OnCancel();
            return TRUE;
        }
        SetTimer(1, 150);
        SetTimer(2, 40);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override { return CWnd::PreTranslateMessage(msg); }

    std::vector<std::string> log;
    bool cancelOnInit = false;
    bool boxOnTimer = false;

protected:
    void OnTimer(UINT_PTR id) override {
        log.push_back("timer " + std::to_string(id));
        if (boxOnTimer && id == 2) {
            boxOnTimer = false;
            AfxMessageBox("Hallo\nWelt");
            log.push_back("box closed");
        }
        CDialog::OnTimer(id);
    }
    void OnPaint() override {
        log.push_back("paint");
        CDialog::OnPaint();
    }
    void OnLButtonUp(UINT, CPoint p) override {
        log.push_back("up " + std::to_string(p.x) + "," + std::to_string(p.y));
        Default();
    }
    void OnKeyDown(UINT key, UINT, UINT) override {
        log.push_back("key " + std::to_string(key));
        Default();
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        res::RegisterResources();
        headless::Use();
    }
    void TearDown() override { headless::Use().SetScript(nullptr); }
};

// The framework has no window system of its own: the test main installs the headless one, and
// a program that makes a window before installing any is stopped with a plain reason.
TEST_F(WindowTest, WindowsNeedAnInstalledWindowSystem) {
    ASSERT_TRUE(platform::HasBackend());
    EXPECT_DEATH(
        {
            platform::SetBackend(nullptr);
            ProbeDialog dialog;
            dialog.DoModal();
        },
        "no window system is installed");
    // A test that asks for the headless window system gets one installed again.
    platform::SetBackend(nullptr);
    EXPECT_FALSE(platform::HasBackend());
    headless::Use();
    EXPECT_TRUE(platform::HasBackend());
}

TEST_F(WindowTest, DialogEndedWhileInitialisingIsNeverShownAndRunsNoTimer) {
    ProbeDialog dialog;
    dialog.cancelOnInit = true;
    int scriptCalls = 0;
    headless::Use().SetScript([&] { return ++scriptCalls < 5; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(scriptCalls, 0);
    EXPECT_TRUE(dialog.log.empty());
    EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(WindowTest, ModalLoopDispatchesPaintTimersAndInputUntilTheDialogEnds) {
    ProbeDialog dialog;
    int step = 0;
    headless::Use().SetScript([&] {
        switch (step++) {
            case 0:
                EXPECT_EQ(headless::PeerOf(dialog)->Surface()->width, 700);
                EXPECT_TRUE(headless::PeerOf(dialog)->Shown());
                EXPECT_TRUE(headless::FireTimer(dialog, 2));
                EXPECT_TRUE(headless::FireTimer(dialog, 1));
                EXPECT_FALSE(headless::FireTimer(dialog, 3));
                headless::LeftUp(dialog, 12, 34);
                headless::KeyDown(dialog, VK_LEFT);
                return true;
            case 1:
                dialog.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
                return true;
            default:
                ADD_FAILURE() << "the loop should have ended";
                return false;
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log,
              (std::vector<std::string>{"paint", "timer 2", "timer 1", "up 12,34", "key 37"}));
    // A destroyed window has no timers left to fire.
    EXPECT_EQ(platform::TimerCount(&dialog), 0u);
}

TEST_F(WindowTest, MessageBoxBlocksInputButNotTimersOrPaint) {
    ProbeDialog dialog;
    dialog.boxOnTimer = true;
    int step = 0;
    auto& backend = headless::Use();
    backend.SetScript([&] {
        switch (step++) {
            case 0:
                headless::FireTimer(dialog, 2);  // opens the box
                return true;
            case 1:  // inside the box's loop
                EXPECT_EQ(backend.OpenMessageBoxes(), 1);
                headless::FireTimer(dialog, 1);
                headless::LeftUp(dialog, 5, 5);
                headless::KeyDown(dialog, VK_END);
                dialog.PostMessage(WM_PAINT);
                return true;
            case 2:
                backend.AnswerMessageBox(IDOK);
                return true;
            case 3:
                headless::LeftUp(dialog, 6, 6);  // the box is gone: input arrives again
                dialog.EndDialog(IDOK);
                return true;
            default:
                return false;
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(backend.MessageBoxTexts().back(), "Hallo\nWelt");
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"paint", "timer 2", "timer 1", "paint",
                                                    "box closed", "up 6,6"}));
}

TEST_F(WindowTest, DefaultProcessingOfSystemCommandsCaptionPressAndRightButton) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Open());
    headless::HeadlessPeer* peer = headless::PeerOf(dialog);
    ASSERT_NE(peer, nullptr);

    CMenu* menu = dialog.GetSystemMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items().size(), 2u);
    EXPECT_EQ(menu->Items()[1].id, SC_CLOSE);

    platform::DrainQueue();
    EXPECT_EQ(platform::QueuedMessageCount(), 0u);
    dialog.PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(300, 20));
    EXPECT_EQ(platform::QueuedMessageCount(), 1u);
    platform::DrainQueue();
    EXPECT_EQ(platform::QueuedMessageCount(), 0u);
    EXPECT_EQ(peer->MovesStarted(), 1);

    // The right button opens the menu at the pointer, Alt+Space at the corner.
    headless::RightClick(dialog, 10, 12);
    EXPECT_EQ(peer->SystemMenusOpened(), 1);
    EXPECT_EQ(peer->LastMenuPoint(), (POINT{10, 12}));
    headless::SysCommand(dialog, SC_KEYMENU);
    EXPECT_EQ(peer->SystemMenusOpened(), 2);
    EXPECT_FALSE(peer->LastMenuPoint().has_value());

    headless::SysCommand(dialog, SC_MINIMIZE);
    EXPECT_TRUE(dialog.IsIconic());
    EXPECT_FALSE(dialog.IsEnded());

    headless::SysCommand(dialog, SC_CLOSE);
    EXPECT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.Close(), IDCANCEL);
}

TEST_F(WindowTest, DialogKeyboardHandlingUnlessTheWindowSkipsIt) {
    // The About box keeps the dialog manager's keys: Escape cancels, arrows are used up.
    CDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.Open());
    EXPECT_EQ(about.GetWindowText(), "Info über Icepup");
    headless::KeyDown(about, VK_ESCAPE);
    EXPECT_TRUE(about.IsEnded());
    EXPECT_EQ(about.Close(), IDCANCEL);

    CDialog enter(IDD_ABOUTBOX);
    ASSERT_TRUE(enter.Open());
    headless::KeyDown(enter, VK_RETURN);
    EXPECT_EQ(enter.Close(), IDOK);

    // A release over the OK button chooses it.
    CDialog click(IDD_ABOUTBOX);
    ASSERT_TRUE(click.Open());
    const RECT ok = platform::DialogItemRect(click.Template()->items[3]);
    headless::Click(click, ok.left + 3, ok.top + 3);
    EXPECT_EQ(click.Close(), IDOK);

    // The game window hands every key to its own handler.
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Open());
    headless::KeyDown(dialog, VK_ESCAPE);
    headless::KeyDown(dialog, VK_DOWN);
    EXPECT_FALSE(dialog.IsEnded());
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"key 27", "key 40"}));
    dialog.Close();
}

TEST_F(WindowTest, ClientDeviceContextPresentsExactlyWhatIsDrawn) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Open());
    headless::HeadlessPeer* peer = headless::PeerOf(dialog);
    peer->ResetPresented();

    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 30, 20);
    HGDIOBJ old = memory.SelectObject(bitmap);
    memory.FillSolidRect(0, 0, 30, 20, RGB(10, 200, 30));
    {
        CClientDC dc(&dialog);
        EXPECT_TRUE(dc.BitBlt(100, 50, 30, 20, &memory, 0, 0, SRCCOPY));
        // Partly outside the window: clipped to the client area.
        EXPECT_TRUE(dc.BitBlt(690, 495, 30, 20, &memory, 0, 0, SRCCOPY));
    }
    EXPECT_EQ(peer->PresentedRects(),
              (std::vector<RECT>{{100, 50, 130, 70}, {690, 495, 700, 500}}));
    EXPECT_EQ(peer->PresentedPixels(), 30u * 20u + 10u * 5u);
    EXPECT_EQ(peer->PixelAt(100, 50), RGB(10, 200, 30));
    EXPECT_EQ(peer->PixelAt(129, 69), RGB(10, 200, 30));
    EXPECT_EQ(peer->PixelAt(130, 70), RGB(0, 0, 0));
    memory.SelectObject(old);
    DeleteObject(bitmap);
    dialog.Close();
}

TEST_F(WindowTest, IconAndStringResources) {
    HICON icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->images.size(), 3u);
    for (const auto& image : icon->images) {
        ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(image.size * image.size));
        // Transparent corners, an opaque face in the middle.
        EXPECT_EQ(image.pixels.front() >> 24, 0u);
        EXPECT_EQ(image.pixels[image.pixels.size() / 2 + image.size / 2] >> 24, 255u);
    }
    EXPECT_EQ(icon->Best(32)->size, 32);
    EXPECT_EQ(icon->Best(20)->size, 32);
    EXPECT_EQ(icon->Best(64)->size, 48);
    std::string text;
    EXPECT_TRUE(platform::LoadStringResource(IDS_ABOUTBOX, text));
    EXPECT_EQ(text, "&Info über Floemaze...");
    EXPECT_FALSE(platform::LoadStringResource(999, text));
    EXPECT_EQ(LoadIcon(999), nullptr);
}

}  // namespace
