// SPDX-License-Identifier: GPL-3.0-or-later
// The drawn pictures: each loads with the image class and has its frame layout; keyed pictures
// are transparent only around their shapes and never cover what the window shows beside or
// below them; the tiles join without seams; and the generator draws the same bytes every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "res/Pictures.h"
#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

namespace {

// The desktop icons, in the hicolor theme's layout.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
std::string IconPath(int size) {
    const std::string side = std::to_string(size);
    return "icons/hicolor/" + side + "x" + side + "/apps/" FLOEMAZE_APP_ID ".png";
}

using Layout = res::PictureInfo;
constexpr const auto& kLayouts = res::kPictures;

// Runs the generator into folder; true when it succeeded.
bool Generate(const std::string& folder) {
    const std::string command =
        std::string("'") + FLOEMAZE_ASSETGEN + "' '" + folder + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// One generated set of pictures, shared by the tests of this file.
class Drawn {
public:
    static const Drawn& Get() {
        static const Drawn drawn;
        return drawn;
    }
    std::string Path(const std::string& name) const { return m_dir.File(name); }
    bool ok = false;

private:
    Drawn() { ok = Generate(m_dir.Path()); }
    TempDir m_dir;
};

CDIB LoadDrawn(const char* name) {
    MessageRecorder messages;
    CDIB image;
    EXPECT_TRUE(image.Load(Drawn::Get().Path(name).c_str())) << name;
    EXPECT_TRUE(messages.Messages().empty()) << name << ": " << messages.Messages().front();
    return image;
}

// A frame of a keyed picture as a mask: true where the picture shows something.
class Frame {
public:
    Frame(const CDIB& image, int x, int y, int width, int height)
        : m_width(width), m_height(height), m_visible(static_cast<std::size_t>(width * height)) {
        const COLORREF key = PixelAt(image, 0, 0);
        for (int fy = 0; fy < height; ++fy) {
            for (int fx = 0; fx < width; ++fx) {
                m_visible[Index(fx, fy)] = PixelAt(image, x + fx, y + fy) != key;
            }
        }
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Visible(int x, int y) const {
        return x >= 0 && y >= 0 && x < m_width && y < m_height && m_visible[Index(x, y)];
    }
    /// Key pixels that do not reach the frame's edge through key pixels: holes in a shape.
    std::vector<std::pair<int, int>> EnclosedKeyPixels() const {
        std::vector<bool> outside(m_visible.size(), false);
        std::vector<std::pair<int, int>> todo;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if ((x == 0 || y == 0 || x == m_width - 1 || y == m_height - 1) && !Visible(x, y)) {
                    outside[Index(x, y)] = true;
                    todo.emplace_back(x, y);
                }
            }
        }
        while (!todo.empty()) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= m_width || ny >= m_height) continue;
                if (Visible(nx, ny) || outside[Index(nx, ny)]) continue;
                outside[Index(nx, ny)] = true;
                todo.emplace_back(nx, ny);
            }
        }
        std::vector<std::pair<int, int>> enclosed;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (!Visible(x, y) && !outside[Index(x, y)]) enclosed.emplace_back(x, y);
            }
        }
        return enclosed;
    }
    /// Key pixels whose neighbours inside the frame are all visible: pin holes, also at the edge.
    std::vector<std::pair<int, int>> PinHoles() const {
        std::vector<std::pair<int, int>> holes;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (Visible(x, y)) continue;
                bool surrounded = true;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= m_width || ny >= m_height) continue;
                    surrounded = surrounded && Visible(nx, ny);
                }
                if (surrounded) holes.emplace_back(x, y);
            }
        }
        return holes;
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * m_width + x); }
    int m_width;
    int m_height;
    std::vector<bool> m_visible;
};

Frame FrameOf(const CDIB& image, const Layout& layout, int column, int row) {
    return Frame(image, column * layout.frameWidth, row * layout.frameHeight, layout.frameWidth,
                 layout.frameHeight);
}

const Layout& LayoutOf(const std::string& name) {
    for (const Layout& layout : kLayouts) {
        if (name == layout.file) return layout;
    }
    throw std::invalid_argument(name);
}

// Counts the pixels where frame a, placed at (ax, ay), and frame b, at (bx, by), both show
// something.
int Overlap(const Frame& a, int ax, int ay, const Frame& b, int bx, int by) {
    int count = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.Visible(x, y) && b.Visible(ax + x - bx, ay + y - by)) ++count;
        }
    }
    return count;
}

// The picture table is what the game loads: the generator must draw exactly its files, each at
// the size of its frame grid, with something to show in every frame of a keyed sheet (an empty
// frame is a grid that does not match the drawing).
TEST(AssetsTest, EveryPictureLoadsWithItsSizeDepthAndFrameLayout) {
    ASSERT_TRUE(Drawn::Get().ok);
    std::vector<std::string> drawn;
    for (const auto& entry : std::filesystem::directory_iterator(Drawn::Get().Path(""))) {
        if (entry.path().extension() == ".bmp") drawn.push_back(entry.path().filename().string());
    }
    std::vector<std::string> table;
    for (const Layout& layout : kLayouts) table.emplace_back(layout.file);
    std::sort(drawn.begin(), drawn.end());
    std::sort(table.begin(), table.end());
    EXPECT_EQ(drawn, table);
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.file);
        const CDIB image = LoadDrawn(layout.file);
        EXPECT_EQ(image.GetBitCount(), 24);
        EXPECT_EQ(image.GetWidth(), layout.frameWidth * layout.columns);
        EXPECT_EQ(image.GetHeight(), layout.frameHeight * layout.rows);
        // Written by the image class: plain headers and exactly the pixel rows.
        const auto bytes = ReadFileBytes(Drawn::Get().Path(layout.file));
        ASSERT_EQ(bytes.size(), 54u + static_cast<std::size_t>(image.GetHeight()) *
                                          static_cast<std::size_t>(image.GetStride()));
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        for (int row = 0; layout.keyed && row < layout.rows; ++row) {
            for (int column = 0; column < layout.columns; ++column) {
                const Frame frame = FrameOf(image, layout, column, row);
                bool shows = false;
                for (int y = 0; y < frame.Height() && !shows; ++y) {
                    for (int x = 0; x < frame.Width() && !shows; ++x) shows = frame.Visible(x, y);
                }
                EXPECT_TRUE(shows) << "frame " << column << "," << row << " is empty";
            }
        }
    }
}

TEST(AssetsTest, KeyedPicturesAreTransparentOnlyAroundTheirShapes) {
    ASSERT_TRUE(Drawn::Get().ok);
    for (const Layout& layout : kLayouts) {
        if (!layout.keyed) continue;
        const CDIB image = LoadDrawn(layout.file);
        for (int row = 0; row < layout.rows; ++row) {
            for (int column = 0; column < layout.columns; ++column) {
                SCOPED_TRACE(std::string(layout.file) + " frame " + std::to_string(column) + "," +
                             std::to_string(row));
                const Frame frame = FrameOf(image, layout, column, row);
                const auto pins = frame.PinHoles();
                EXPECT_TRUE(pins.empty())
                    << "pin hole at " << pins.front().first << "," << pins.front().second;
                if (std::string(layout.file) == "Optionsmenue.bmp") continue;  // below
                const auto enclosed = frame.EnclosedKeyPixels();
                EXPECT_TRUE(enclosed.empty())
                    << enclosed.size() << " enclosed key pixels, e.g. " << enclosed.front().first
                    << "," << enclosed.front().second;
            }
        }
    }
}

// The window draws the options panel above its radio buttons and check boxes (same depth, the
// panel inserted first). The panel's only holes are windows of the controls' shapes: there each
// control pixel shows and takes the click, and around the shapes the panel hides the controls'
// transparent corners.
TEST(AssetsTest, OptionsPanelHasWindowsExactlyWhereItsControlsShow) {
    ASSERT_TRUE(Drawn::Get().ok);
    const CDIB panelImage = LoadDrawn("Optionsmenue.bmp");
    const Frame panel = FrameOf(panelImage, LayoutOf("Optionsmenue.bmp"), 0, 0);
    struct Control {
        const char* file;
        int x, y;
    };
    constexpr Control kControls[] = {{"Radiobutton.bmp", 23, 23},
                                     {"Radiobutton.bmp", 103, 23},
                                     {"Checkbutton.bmp", 110, 50},
                                     {"Checkbutton.bmp", 140, 75}};
    std::vector<bool> window(200 * 150, false);
    for (const Control& c : kControls) {
        const CDIB image = LoadDrawn(c.file);
        for (int row = 0; row < 2; ++row) {
            SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x) + " row " +
                         std::to_string(row));
            const Frame control = FrameOf(image, LayoutOf(c.file), 0, row);
            int both = 0;
            int neither = 0;
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const bool shown = control.Visible(x, y);
                    const bool covered = panel.Visible(c.x + x, c.y + y);
                    both += shown && covered ? 1 : 0;
                    neither += !shown && !covered ? 1 : 0;
                    if (!covered)
                        window[static_cast<std::size_t>((c.y + y) * 200 + c.x + x)] = true;
                }
            }
            EXPECT_EQ(both, 0) << "control pixels hidden by the panel";
            EXPECT_EQ(neither, 0) << "holes through panel and control";
        }
    }
    for (const auto& [x, y] : panel.EnclosedKeyPixels()) {
        EXPECT_TRUE(window[static_cast<std::size_t>(y * 200 + x)])
            << "hole in the panel at " << x << "," << y;
    }
}

// Sprites that overlap in the window must not hide each other's shapes: the buttons stand 50
// pixels apart in frames of 60, the logo reaches into the start button's frame, and the exit
// button, slid down 110 pixels for the open panel, reaches into the seal picture (which lies
// above it).
TEST(AssetsTest, NeighbouringSpritesDoNotCoverEachOther) {
    ASSERT_TRUE(Drawn::Get().ok);
    const CDIB buttons = LoadDrawn("Buttons.bmp");
    const CDIB logo = LoadDrawn("Logo.bmp");
    const CDIB seal = LoadDrawn("Robbe.bmp");
    const Layout& b = LayoutOf("Buttons.bmp");
    const int buttonY[3] = {125, 175, 225};
    for (int state = 0; state < 3; ++state) {
        const Frame start = FrameOf(buttons, b, 0, state);
        for (int row = 0; row < 8; ++row) {
            EXPECT_EQ(Overlap(FrameOf(logo, LayoutOf("Logo.bmp"), 0, row), 0, 0, start, 0, 125), 0)
                << "logo row " << row << " over start button state " << state;
        }
        for (int button = 0; button < 2; ++button) {
            for (int other = 0; other < 3; ++other) {
                const Frame upper = FrameOf(buttons, b, 0, 3 * button + state);
                const Frame lower = FrameOf(buttons, b, 0, 3 * (button + 1) + other);
                EXPECT_EQ(Overlap(upper, 0, buttonY[button], lower, 0, buttonY[button + 1]), 0)
                    << "button " << button << " state " << state << " over the next in state "
                    << other;
            }
        }
        const Frame exit = FrameOf(buttons, b, 0, 6 + state);
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(Overlap(FrameOf(seal, LayoutOf("Robbe.bmp"), 0, row), 0, 366, exit, 0, 335),
                      0)
                << "seal picture row " << row << " over the slid exit button in state " << state;
        }
    }
}

// Every wall picture has the same edges, and a passage's open side continues its neighbour's,
// so the flickering walls and the ice paths join without seams.
TEST(AssetsTest, TilesJoinWithoutSeams) {
    ASSERT_TRUE(Drawn::Get().ok);
    const CDIB tiles = LoadDrawn("Weg.bmp");
    const auto& kSides = res::tiles::kPassageSides;
    // Edge i (0 top, 1 bottom, 2 left, 3 right) of frame (column, row), read along the edge.
    auto edge = [&tiles](int column, int row, int side) {
        std::vector<COLORREF> pixels;
        for (int i = 0; i < 25; ++i) {
            const int x = side == 2 ? 0 : side == 3 ? 24 : i;
            const int y = side == 0 ? 0 : side == 1 ? 24 : i;
            pixels.push_back(PixelAt(tiles, column * 25 + x, row * 25 + y));
        }
        return pixels;
    };
    for (int row = 1; row < 16; ++row) {
        for (int side = 0; side < 4; ++side) {
            EXPECT_TRUE(edge(1, row, side) == edge(1, 0, side))
                << "wall " << row << " side " << side;
        }
    }
    constexpr int kOpposite[4] = {1, 0, 3, 2};
    for (int a = 1; a < 16; ++a) {
        for (int side = 0; side < 4; ++side) {
            const bool open = (kSides[static_cast<std::size_t>(a)] & (1u << side)) != 0;
            if (!open) {
                // A closed side meets a wall (or the board's edge): water on both.
                EXPECT_TRUE(edge(0, a, side) == edge(1, 0, side))
                    << "passage " << a << " side " << side;
                continue;
            }
            for (int b = 1; b < 16; ++b) {
                if ((kSides[static_cast<std::size_t>(b)] & (1u << kOpposite[side])) == 0) continue;
                EXPECT_TRUE(edge(0, a, side) == edge(0, b, kOpposite[side]))
                    << "passage " << a << " side " << side << " against passage " << b;
            }
        }
    }
}

TEST(AssetsTest, GeneratorDrawsTheSameBytesEveryTime) {
    ASSERT_TRUE(Drawn::Get().ok);
    TempDir again;
    ASSERT_TRUE(Generate(again.Path()));
    std::vector<std::string> names;
    for (const Layout& layout : kLayouts) names.push_back(layout.file);
    for (const int size : kIconSizes) names.push_back(IconPath(size));
    names.push_back("icons/hicolor/scalable/apps/" FLOEMAZE_APP_ID ".svg");
    for (const std::string& name : names) {
        const auto first = ReadFileBytes(Drawn::Get().Path(name));
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == ReadFileBytes(again.File(name))) << name << " differs";
    }
}

TEST(AssetsTest, DesktopIconsHaveTheirSizes) {
    ASSERT_TRUE(Drawn::Get().ok);
    for (const int size : kIconSizes) {
        const auto png = ReadFileBytes(Drawn::Get().Path(IconPath(size)));
        ASSERT_GE(png.size(), 24u);
        // The PNG signature, then the IHDR chunk with width and height, big-endian.
        EXPECT_EQ(png[1], 'P');
        EXPECT_EQ(png[12], 'I');
        EXPECT_EQ((png[16] << 24) | (png[17] << 16) | (png[18] << 8) | png[19], size);
        EXPECT_EQ((png[20] << 24) | (png[21] << 16) | (png[22] << 8) | png[23], size);
    }
    // The scalable icon is a drawing of the same layers, 256 pixels wide, not an embedded picture.
    const auto svg =
        ReadFileBytes(Drawn::Get().Path("icons/hicolor/scalable/apps/" FLOEMAZE_APP_ID ".svg"));
    const std::string text(svg.begin(), svg.end());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("viewBox=\"0 0 256 256\""), std::string::npos);
    EXPECT_NE(text.find("<radialGradient"), std::string::npos);
    EXPECT_EQ(text.find("<image"), std::string::npos);
}

TEST(AssetsTest, GeneratorRefusesAFolderItCannotWrite) {
    TempDir dir;
    const std::string file = dir.Write("not-a-folder", {1, 2, 3});
    EXPECT_FALSE(Generate(file));
}

}  // namespace
