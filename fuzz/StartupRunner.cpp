// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/StartupRunner.h"

#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "app/FloemazeDlg.h"
#include "platform/Backend.h"
#include "platform/MessageBox.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Pictures.h"
#include "res/Resources.h"
#include "sprites/DIB.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;

// Each written at the size of its whole frame sheet; the input's bytes address them in the
// table's order.
constexpr const auto& kPictures = res::kPictures;

// Far more than any picture can say about itself; more would be a flood of messages.
constexpr int kMessageLimit = 64;
constexpr int kActionLimit = 48;
constexpr int kTickLimit = 32;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    std::uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    std::size_t Take(std::size_t count, const std::uint8_t*& at) {
        at = m_data + m_pos;
        const std::size_t n = std::min(count, m_size - m_pos);
        m_pos += n;
        return n;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void PreparePictures(const fs::path& run, const fs::path& good,
                     std::array<int, res::kPictureCount>& state, Input& input) {
    for (std::size_t i = 0; i < kPictures.size(); ++i) {
        const fs::path file = run / kPictures[i].file;
        const int tag = input.Empty() ? 0 : input.Byte() % 3;
        if (tag == 0 && state[i] == 0) continue;
        std::error_code ignored;
        fs::remove(file, ignored);
        state[i] = tag;
        if (tag == 0) {
            fs::create_symlink(good / kPictures[i].file, file);
        } else if (tag == 2) {
            std::size_t length = input.Byte();
            length |= static_cast<std::size_t>(input.Byte()) << 8;
            length |= static_cast<std::size_t>(input.Byte()) << 16;
            const std::uint8_t* bytes = nullptr;
            length = input.Take(length, bytes);
            std::FILE* out = std::fopen(file.c_str(), "wb");
            if (out == nullptr) std::abort();
            if (length > 0) std::fwrite(bytes, 1, length, out);
            std::fclose(out);
        }
    }
}

void Play(CFloemazeDlg& dlg, Input& input) {
    int ticks = 0;
    const auto tick = [&](UINT_PTR timer, int count) {
        // Each tick composes and copies; a bounded number keeps every input quick.
        for (int i = 0; i < count && ticks < kTickLimit && !dlg.IsEnded(); ++i, ++ticks) {
            headless::FireTimer(dlg, timer);
        }
    };
    const auto point = [&] {
        const int x = input.Byte() * 700 / 256;
        const int y = input.Byte() * 500 / 256;
        return POINT{x, y};
    };
    if (input.Empty()) {
        // Without actions: a few ticks, a game started, help on, the seal picture clicked.
        tick(2, 3);
        headless::Click(dlg, 100, 150);
        tick(2, 3);
        headless::KeyDown(dlg, VK_END);
        tick(1, 2);
        headless::Click(dlg, 100, 450);
        headless::Paint(dlg);
        return;
    }
    for (int action = 0; action < kActionLimit && !input.Empty() && !dlg.IsEnded(); ++action) {
        const std::uint8_t op = input.Byte();
        switch (op % 8) {
            case 0:
                tick(2, 1 + op / 8 % 16);
                break;
            case 1:
                tick(1, 1 + op / 8 % 4);
                break;
            case 2: {
                const POINT p = point();
                headless::Click(dlg, p.x, p.y);
                break;
            }
            case 3:
                headless::Click(dlg, dlg.m_sideX + 100, 150);  // the start button
                break;
            case 4: {
                constexpr UINT keys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_END, VK_HOME};
                headless::KeyDown(dlg, keys[op / 8 % 6]);
                break;
            }
            case 5:
                headless::Click(dlg, dlg.m_sideX + 100, 200);  // the options button
                break;
            case 6: {
                const POINT from = point();
                const POINT to = point();
                headless::MouseMove(dlg, from.x, from.y);
                headless::LeftDown(dlg, from.x, from.y);
                headless::MouseMove(dlg, to.x, to.y, true);
                headless::LeftUp(dlg, to.x, to.y);
                break;
            }
            default:
                if (op / 8 % 2 == 0) {
                    headless::Paint(dlg);
                } else {
                    headless::SysCommand(dlg, IDM_ABOUTBOX);  // closes at once without a script
                }
                break;
        }
        platform::DrainQueue();
    }
}

}  // namespace

StartupRunner::StartupRunner() {
    std::string base = (fs::temp_directory_path() / "floemaze-startup-XXXXXX").string();
    if (mkdtemp(base.data()) == nullptr) std::abort();
    m_base = base;
    m_run = m_base / "run";
    m_good = m_base / "good";
    fs::create_directories(m_run);
    fs::create_directories(m_good);
    for (std::size_t i = 0; i < kPictures.size(); ++i) {
        // A plain picture whose top-left pixel, the key colour, differs from the rest, so that
        // keyed sprites can be hit.
        CDIB image;
        const auto shade = static_cast<BYTE>(20 * i);
        if (!image.CreateFilled(nullptr, kPictures[i].Width(), kPictures[i].Height(),
                                RGB(40 + shade / 2, 120, 230 - shade))) {
            std::abort();
        }
        unsigned char* key = image.GetPixelAddress(0, 0);
        key[0] = 255;
        key[1] = 0;
        key[2] = 255;
        if (!image.Save((m_good / kPictures[i].file).c_str())) std::abort();
        fs::create_symlink(m_good / kPictures[i].file, m_run / kPictures[i].file);
    }
    res::RegisterResources();
    headless::Use();
}

StartupRunner::~StartupRunner() {
    std::error_code ignored;
    fs::remove_all(m_base, ignored);
}

int StartupRunner::Run(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    PreparePictures(m_run, m_good, m_state, input);

    int messages = 0;
    platform::MessageBoxHandler previous =
        platform::SetMessageBoxHandler([&messages](const std::string& text, unsigned) {
            if (++messages > kMessageLimit) {
                std::fprintf(stderr, "more than %d message boxes; the last: %s\n", kMessageLimit,
                             text.c_str());
                std::abort();
            }
            return IDOK;
        });
    // The game loads its pictures from the current directory; the caller's own paths may be
    // relative to the directory it was started in.
    const fs::path started = fs::current_path();
    fs::current_path(m_run);
    {
        CFloemazeDlg dlg;
        // The maze seeds the random numbers with the time; an input must always run the same way.
        std::srand(1);
        if (dlg.Open()) {
            platform::DrainQueue();  // the first paint
            if (!dlg.IsEnded()) Play(dlg, input);
            dlg.Close();
        }
    }
    fs::current_path(started);
    platform::SetMessageBoxHandler(std::move(previous));
    return messages;
}

}  // namespace fuzz
