// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program started on the headless backend with one of its eleven pictures broken in
// every way a copied folder can break it: missing, empty, cut off in the headers or in the
// pixels, 8 or 32 bits deep, smaller than its frames, with the wrong magic or made of random
// bytes. Each gets its messages, in order, and the program ends or goes on as it must; whatever
// goes on is played: a game walked home, clicks everywhere, painting, the exit button.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "app/FloemazeApp.h"
#include "app/FloemazeDlg.h"
#include "fuzz/StartupRunner.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/Resources.h"
#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/GameImages.h"
#include "tests/support/TestData.h"

namespace {

namespace headless = platform::headless;

enum class Damage {
    Missing,
    Empty,
    TruncatedInHeaders,
    TruncatedInPixels,
    EightBit,
    ThirtyTwoBit,
    SmallerThanItsFrames,
    WrongMagic,
    RandomBytes,
    Fifo,
};

constexpr GameImage kImages[] = {
    GameImage::Background,  GameImage::Logo,        GameImage::StartPicture, GameImage::Buttons,
    GameImage::SealPicture, GameImage::OptionsMenu, GameImage::RadioButton,  GameImage::CheckButton,
    GameImage::Separator,   GameImage::BabySeal,    GameImage::Path,
};
constexpr Damage kDamages[] = {
    Damage::Missing,
    Damage::Empty,
    Damage::TruncatedInHeaders,
    Damage::TruncatedInPixels,
    Damage::EightBit,
    Damage::ThirtyTwoBit,
    Damage::SmallerThanItsFrames,
    Damage::WrongMagic,
    Damage::RandomBytes,
    Damage::Fifo,
};

const char* DamageName(Damage damage) {
    constexpr const char* names[] = {
        "Missing",     "Empty",        "TruncatedInHeaders",   "TruncatedInPixels",
        "EightBit",    "ThirtyTwoBit", "SmallerThanItsFrames", "WrongMagic",
        "RandomBytes", "Fifo",
    };
    return names[static_cast<int>(damage)];
}

// The board's two pictures are loaded when the first game starts; the others when the window
// opens.
bool BoardImage(GameImage image) {
    return image == GameImage::BabySeal || image == GameImage::Path;
}

std::string CannotLoad(GameImage image) {
    // The window names the button picture in lower case.
    const std::string name = image == GameImage::Buttons ? "buttons.bmp" : FileName(image);
    return "Die Datei \"" + name + "\" konnte nicht geladen werden!";
}

const std::string kNot24Bits = "Die Spritebibliothek unterstützt nur Bitmaps mit 24-Bit Farbtiefe";

// The picture's good bytes with one row fewer than its frames need.
std::vector<std::uint8_t> OneRowShort(const std::vector<std::uint8_t>& good, int& width,
                                      int& height) {
    CDIB image;
    image.LoadFromMemory(good.data(), good.size());
    width = image.GetWidth();
    height = image.GetHeight();
    BmpSpec spec;
    spec.width = width;
    spec.height = height - 1;
    // Rows are stored bottom-up: the top row of the picture is the one dropped.
    spec.pixel = [&image](int x, int y) { return PixelAt(image, x, y + 1); };
    return MakeBmp(spec);
}

// The same picture at another depth: 32 bits with the same colours, or 8 bits with a grey
// palette in which only the top-left pixel has the key index 0.
std::vector<std::uint8_t> AtDepth(const std::vector<std::uint8_t>& good, int bitCount) {
    CDIB image;
    image.LoadFromMemory(good.data(), good.size());
    BmpSpec spec;
    spec.width = image.GetWidth();
    spec.height = image.GetHeight();
    spec.bitCount = bitCount;
    spec.paletteEntries = bitCount == 8 ? 256 : 0;
    std::vector<std::uint8_t> bytes = MakeBmp(spec);
    const std::size_t palette = 54;
    const std::size_t pixels = palette + spec.paletteEntries * 4;
    const std::size_t stride = (static_cast<std::size_t>(bitCount / 8 * spec.width) + 3) & ~3u;
    for (std::size_t i = 0; i < spec.paletteEntries; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            bytes[palette + 4 * i + c] = static_cast<std::uint8_t>(i);
        }
    }
    for (int y = 0; y < spec.height; ++y) {
        std::uint8_t* row =
            bytes.data() + pixels + static_cast<std::size_t>(spec.height - 1 - y) * stride;
        for (int x = 0; x < spec.width; ++x) {
            const COLORREF c = PixelAt(image, x, y);
            if (bitCount == 8) {
                row[x] =
                    x == 0 && y == 0 ? 0 : static_cast<std::uint8_t>(1 + (x / 20 + y / 20) % 255);
            } else {
                std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
                p[3] = 0;
            }
        }
    }
    return bytes;
}

struct Broken {
    std::vector<std::string> messages;  // what the picture must say, in order
    bool windowCloses = false;          // a window picture that cannot be used ends the program
};

// Damages image's file in folder and says what the program must report.
Broken Damaged(const GameFolder& folder, GameImage image, Damage damage) {
    const std::string path = folder.Dir().File(FileName(image));
    const std::vector<std::uint8_t> good = ReadFileBytes(path);
    Broken broken;
    const auto write = [&](const std::vector<std::uint8_t>& bytes) {
        folder.Dir().Write(FileName(image), bytes);
    };
    const auto refused = [&](const std::string& reason) {
        broken.messages = {reason, CannotLoad(image)};
        broken.windowCloses = !BoardImage(image);
        // The back buffer is read from the background picture as well, and the image says again
        // why it cannot be read; the window is closing anyway.
        if (image == GameImage::Background && damage != Damage::SmallerThanItsFrames) {
            broken.messages.push_back(reason);
        }
    };
    switch (damage) {
        case Damage::Missing:
            std::remove(path.c_str());
            broken.messages = {CannotLoad(image)};
            broken.windowCloses = !BoardImage(image);
            break;
        case Damage::Fifo:
            // A named pipe with no writer would hold a reading open forever: it is refused at
            // once, as a missing picture is.
            std::remove(path.c_str());
            if (mkfifo(path.c_str(), 0600) != 0) ADD_FAILURE() << "no FIFO at " << path;
            broken.messages = {CannotLoad(image)};
            broken.windowCloses = !BoardImage(image);
            break;
        case Damage::Empty:
            write({});
            refused("Lesefehler");
            break;
        case Damage::TruncatedInHeaders:
            // The file header whole, the info header cut off after its width.
            write(std::vector<std::uint8_t>(good.begin(), good.begin() + 22));
            refused(dib_messages::kOffsetBeyondEnd);
            break;
        case Damage::TruncatedInPixels:
            write(std::vector<std::uint8_t>(good.begin(),
                                            good.begin() + 54 + (good.size() - 54) / 2));
            refused("Lesefehler");
            break;
        case Damage::EightBit:
            write(AtDepth(good, 8));
            broken.messages = {kNot24Bits};
            break;
        case Damage::ThirtyTwoBit:
            write(AtDepth(good, 32));
            broken.messages = {kNot24Bits};
            break;
        case Damage::SmallerThanItsFrames: {
            int width = 0;
            int height = 0;
            write(OneRowShort(good, width, height));
            refused("Das Bild ist zu klein für seine Einzelbilder: " + std::to_string(width) +
                    " × " + std::to_string(height - 1) + " Pixel statt " + std::to_string(width) +
                    " × " + std::to_string(height) + ".");
            break;
        }
        case Damage::WrongMagic: {
            std::vector<std::uint8_t> bytes = good;
            bytes[0] = 'M';
            bytes[1] = 'B';
            write(bytes);
            refused("Ungültige Bitmap-Datei");
            break;
        }
        case Damage::RandomBytes: {
            std::mt19937 random(static_cast<unsigned>(image) + 1);
            std::vector<std::uint8_t> bytes(4096);
            for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
            // Random bytes that happen to begin like a BMP file would test something else.
            if (bytes[0] == 'B' || bytes[0] == 0x10) bytes[0] ^= 0x80;
            write(bytes);
            refused("Ungültige Bitmap-Datei");
            break;
        }
    }
    return broken;
}

// What happened while the program ran.
struct Session {
    std::vector<std::string> messages;
    bool tickedBeforeWindowRan = false;
    bool windowRan = false;  // the window's own loop waited for input at least once
    int results = 0;
    bool backBufferUsable = true;
    bool screenShowsBackBuffer = true;
    bool exited = false;
};

class FloemazeAppPicturesTest : public ::testing::TestWithParam<std::tuple<GameImage, Damage>> {
protected:
    void SetUp() override { res::RegisterResources(); }
    void TearDown() override { headless::Use().SetScript(nullptr); }

    // Starts the program and, while its window runs, plays one game walked home with help,
    // clicks every control with the options panel open, on both sides, paints, and leaves by the
    // exit button.
    Session Play() {
        auto& backend = headless::Use();
        const std::size_t before = backend.MessageBoxTexts().size();
        CFloemazeApp app;
        Session run;
        enum class Stage { Start, Walk, Controls, Exit, Done } stage = Stage::Start;
        int waits = 0;
        backend.SetScript([&] {
            auto* window = static_cast<CFloemazeDlg*>(app.m_pMainWnd);
            if (window == nullptr || ++waits > 5000) return false;
            if (backend.OpenMessageBoxes() > 0) {
                if (!run.windowRan) {
                    run.tickedBeforeWindowRan |= headless::FireTimer(*window, 1);
                    run.tickedBeforeWindowRan |= headless::FireTimer(*window, 2);
                }
                // The first game's result: pictures report themselves before it has started.
                if (window->m_gameStarted && !window->m_maze.m_bRunning) ++run.results;
                backend.AnswerMessageBox(IDOK);
                return true;
            }
            run.windowRan = true;
            CFloemazeDlg& dlg = *window;
            switch (stage) {
                case Stage::Start:
                    run.backBufferUsable = dlg.m_backBuffer.GetWidth() == 700 &&
                                           dlg.m_backBuffer.GetHeight() == 500 &&
                                           dlg.m_backBuffer.GetBitCount() == 24;
                    // With the C library's rand, this seed makes a maze whose seal starts two
                    // fields from home, so the game is walked home in a few ticks; another maze
                    // would only take longer.
                    std::srand(2404);
                    headless::Click(dlg, 100, 150);
                    headless::KeyDown(dlg, VK_END);
                    stage = Stage::Walk;
                    return true;
                case Stage::Walk:
                    if (!dlg.m_maze.m_bRunning) {
                        stage = Stage::Controls;
                        return true;
                    }
                    headless::FireTimer(dlg, 2);
                    headless::FireTimer(dlg, 1);
                    return true;
                case Stage::Controls:
                    ClickEverything(dlg);
                    run.screenShowsBackBuffer = ScreenShowsBackBuffer(dlg);
                    stage = Stage::Exit;
                    return true;
                case Stage::Exit:
                    headless::Click(dlg, dlg.m_sideX + 100, 255 + dlg.m_panelSlide);
                    run.exited = dlg.IsEnded();
                    stage = Stage::Done;
                    return true;
                case Stage::Done:
                    return false;
            }
            return false;
        });
        app.InitInstance();
        run.messages.assign(backend.MessageBoxTexts().begin() + static_cast<std::ptrdiff_t>(before),
                            backend.MessageBoxTexts().end());
        return run;
    }

    static void ClickEverything(CFloemazeDlg& dlg) {
        headless::Click(dlg, 100, 200);  // the options panel opens
        for (int i = 0; i < 24; ++i) headless::FireTimer(dlg, 2);
        // In the control column: both radio buttons, both check boxes, the logo, the seal picture,
        // the background; then the board and a start tile.
        for (const POINT p : {POINT{33, 269}, POINT{113, 269}, POINT{120, 296}, POINT{150, 321},
                              POINT{50, 50}, POINT{100, 450}, POINT{100, 300}}) {
            headless::Click(dlg, dlg.m_sideX + p.x, p.y);
            headless::FireTimer(dlg, 2);
            headless::FireTimer(dlg, 1);
        }
        for (const POINT p : {POINT{260, 260}, POINT{212, 13}}) {
            headless::Click(dlg, (dlg.m_sideX == 0 ? 200 : 0) + p.x, p.y);
            headless::FireTimer(dlg, 2);
            headless::FireTimer(dlg, 1);
        }
        headless::Paint(dlg);
    }

    static bool ScreenShowsBackBuffer(const CFloemazeDlg& dlg) {
        for (int y = 0; y < 500; y += 7) {
            for (int x = 0; x < 700; x += 7) {
                if (headless::PeerOf(dlg)->PixelAt(x, y) != PixelAt(dlg.m_backBuffer, x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    GameFolder folder;
};

TEST_P(FloemazeAppPicturesTest, ReportsThePictureAndEndsOrGoesOn) {
    const auto [image, damage] = GetParam();
    const Broken broken = Damaged(folder, image, damage);
    // A start that blocks on a special file ends the test program instead of hanging it.
    alarm(60);
    const Session run = Play();
    alarm(0);

    if (broken.windowCloses) {
        EXPECT_EQ(run.messages, broken.messages);
        EXPECT_FALSE(run.windowRan) << "the window ran although it was ended while it opened";
        EXPECT_FALSE(run.tickedBeforeWindowRan);
        return;
    }
    // The window runs, the game is walked home and the window is left by its exit button; the
    // picture's messages come first (a board picture's when the first game starts), then the
    // game's result.
    ASSERT_GE(run.messages.size(), broken.messages.size() + 1);
    EXPECT_EQ(std::vector<std::string>(
                  run.messages.begin(),
                  run.messages.begin() + static_cast<std::ptrdiff_t>(broken.messages.size())),
              broken.messages);
    EXPECT_EQ(run.messages.size(), broken.messages.size() + 1) << "more messages than expected";
    EXPECT_EQ(run.results, 1);
    EXPECT_TRUE(run.windowRan);
    EXPECT_TRUE(run.backBufferUsable) << "the window has nothing to compose into";
    EXPECT_TRUE(run.screenShowsBackBuffer);
    EXPECT_TRUE(run.exited);
}

INSTANTIATE_TEST_SUITE_P(EveryPicture, FloemazeAppPicturesTest,
                         ::testing::Combine(::testing::ValuesIn(kImages),
                                            ::testing::ValuesIn(kDamages)),
                         [](const auto& info) {
                             std::string file = FileName(std::get<0>(info.param));
                             file.erase(file.find('.'));
                             return file + "_" + DamageName(std::get<1>(info.param));
                         });

// Every input the start-up fuzzer keeps, its seeds and what it found, starts the game and plays
// it without a sanitizer finding and says no more than the pictures can have to say: at most a
// reason and "cannot be loaded" for each, the background's reason once more, and a result.
TEST(FloemazeAppFuzzCorpusTest, EveryKeptStartupInputRunsAndSaysLittle) {
    const std::vector<std::filesystem::path> inputs =
        FilesBelow(SourceDir() / "fuzz" / "corpus" / "startup");
    ASSERT_FALSE(inputs.empty());
    fuzz::StartupRunner runner;
    for (const std::filesystem::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::vector<std::uint8_t> bytes = ReadFileBytes(input.string());
        EXPECT_LE(runner.Run(bytes.data(), bytes.size()), 2 * 11 + 1 + 1);
    }
}

}  // namespace
