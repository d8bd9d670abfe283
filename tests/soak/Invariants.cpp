// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/soak/Invariants.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/HeadlessBackend.h"

namespace soak {

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 500;
constexpr int kField = CMazeBoard::kField;

std::string Where(int x, int y) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", x, y);
    return text;
}

RECT Bounds(const CSprite& sprite) {
    RECT r{};
    sprite.GetRect(&r);
    return r;
}

bool InsideWindow(const RECT& r) {
    return r.left >= 0 && r.top >= 0 && r.right <= kWidth && r.bottom <= kHeight;
}

bool OpenField(const CMazeBoard& maze, int col, int row) {
    const MazeCell* cell = maze.CellAt(col, row);
    return cell != nullptr && cell->m_bOpen == 1;
}

void ListOf(const CSpriteList& list, std::vector<const CSprite*>& sprites) {
    sprites.clear();
    POSITION pos = list.GetHeadPosition();
    while (pos != nullptr) sprites.push_back(static_cast<const CSprite*>(list.GetNext(pos)));
}

// The three ways a result text can begin.
bool IsResultText(const std::string& text) {
    return text.starts_with("\nDas hier ist doch kein Bildschirmschoner!") ||
           text.starts_with("Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n") ||
           text.starts_with("Schön, dass du dabei geholfen hast");
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

void Invariants::Check(const CFloemazeDlg& dlg, Moment moment) {
    if (moment == Moment::Tick) FollowGame(dlg);
    CheckSeal(dlg);
    CheckPlaces(dlg);
    CheckPanel(dlg);
    CheckOrder(dlg, moment == Moment::Tick);
    CheckScreen(dlg, moment == Moment::Paint);
}

void Invariants::FollowGame(const CFloemazeDlg& dlg) {
    if (!dlg.m_gameStarted) return;
    const CMazeBoard& maze = dlg.m_maze;
    std::array<std::uint8_t, 400> layout{};
    for (std::size_t i = 0; i < layout.size(); ++i) layout[i] = maze.m_cells[i].m_bOpen;

    if (!m_inGame || layout != m_maze || maze.m_pFamilyCell != m_family) {
        if (m_inGame && m_results == 0) ++m_gamesReplaced;
        m_inGame = true;
        m_maze = layout;
        m_family = maze.m_pFamilyCell;
        m_stepsOwn = 0;
        m_stepsHelp = 0;
        m_results = 0;
        m_ticksInGame = 0;
        m_wasRunning = true;
        ++m_gamesStarted;
        if (!maze.m_bRunning) Fail("a new maze whose game does not run");
    }
    ++m_ticksInGame;

    const int own = maze.m_nStepsOwn;
    const int help = maze.m_nStepsHelp;
    if (own < m_stepsOwn || help < m_stepsHelp) {
        Fail("a step counter went down within a game: own " + std::to_string(m_stepsOwn) + " -> " +
             std::to_string(own) + ", help " + std::to_string(m_stepsHelp) + " -> " +
             std::to_string(help));
    }
    if (own < 0 || help < 0 || help > own + help) Fail("the help count exceeds the total");
    if (own + help > m_stepsOwn + m_stepsHelp + 1) Fail("more than one step counted in a tick");
    m_stepsOwn = own;
    m_stepsHelp = help;

    if (m_wasRunning && !maze.m_bRunning && m_results != 1) {
        Fail("the game ended with " + std::to_string(m_results) + " results");
    }
    if (!m_wasRunning && maze.m_bRunning) Fail("a finished game runs again on the same maze");
    m_wasRunning = maze.m_bRunning;
}

void Invariants::MessageBox(const CFloemazeDlg& dlg, const std::string& text) {
    if (!IsResultText(text)) {
        Fail("unexpected message box: " + text);
        return;
    }
    const CMazeBoard& maze = dlg.m_maze;
    if (!m_inGame) Fail("a result before any game");
    if (maze.m_bRunning) Fail("a result while the game still runs");
    if (++m_results > 1) {
        Fail("a second result for one arrival");
    } else {
        ++m_gamesFinished;
    }
    if (maze.m_pFamilyCell == nullptr || maze.m_pFamilyCell->m_nCol != maze.m_nSealCol ||
        maze.m_pFamilyCell->m_nRow != maze.m_nSealRow) {
        Fail("a result while the seal is not on its family's field");
    }

    const int own = maze.m_nStepsOwn;
    const int help = maze.m_nStepsHelp;
    const int total = own + help;
    if (total < maze.m_nShortest) {
        Fail("home in " + std::to_string(total) + " steps, the shortest way has " +
             std::to_string(maze.m_nShortest));
    }
    if (own == 0) {
        if (!text.starts_with("\nDas hier ist doch kein Bildschirmschoner!")) {
            Fail("a game walked with help only gets the wrong text: " + text);
        }
        return;
    }
    const bool counts =
        Contains(text, "\nDazu hast du " + std::to_string(total) + " Schritte gebraucht.") &&
        Contains(text, "\nDavon mit Hilfe: " + std::to_string(help) + " Schritte") &&
        Contains(text, "\nAuf eigene Faust: " + std::to_string(own) + " Schritte");
    const bool shortest = Contains(text, "\nDas war der kürzeste Weg!");
    if (!counts || shortest != (total == maze.m_nShortest)) {
        Fail("the result text does not match the counted steps (own " + std::to_string(own) +
             ", help " + std::to_string(help) + ", shortest " + std::to_string(maze.m_nShortest) +
             "): " + text);
    }
}

void Invariants::CheckSeal(const CFloemazeDlg& dlg) {
    if (!dlg.m_gameStarted) return;
    const CMazeBoard& maze = dlg.m_maze;
    const int col = maze.m_nSealCol;
    const int row = maze.m_nSealRow;
    if (!OpenField(maze, col, row)) {
        Fail("the seal's field " + Where(col, row) + " is not an open field of the grid");
        return;
    }
    const int board = dlg.m_sideX == 0 ? 200 : 0;
    const int x = maze.m_seal.m_nX - board;
    const int y = maze.m_seal.m_nY;
    if (x < 0 || y < 0 || x > 19 * kField || y > 19 * kField) {
        Fail("the seal at " + Where(x, y) + " has left the board");
        return;
    }
    const bool onColumn = x % kField == 0;
    const bool onRow = y % kField == 0;
    if (onColumn && onRow) {
        if (x / kField != col || y / kField != row) {
            Fail("the seal stands on " + Where(x / kField, y / kField) + " but its field is " +
                 Where(col, row));
        }
        return;
    }
    if (!onColumn && !onRow) {
        Fail("the seal at " + Where(x, y) + " lies between four fields");
        return;
    }
    // Between two neighbouring fields, both open, one of them the field it moves into.
    const int c0 = x / kField;
    const int r0 = y / kField;
    const int c1 = onColumn ? c0 : c0 + 1;
    const int r1 = onRow ? r0 : r0 + 1;
    if (!OpenField(maze, c0, r0) || !OpenField(maze, c1, r1)) {
        Fail("the seal at " + Where(x, y) + " steps between " + Where(c0, r0) + " and " +
             Where(c1, r1) + ", not both open");
    }
    if (!((c0 == col && r0 == row) || (c1 == col && r1 == row))) {
        Fail("the seal at " + Where(x, y) + " is not next to its field " + Where(col, row));
    }
    if (maze.m_nDirection < direction::kUp || maze.m_nDirection > direction::kRight) {
        Fail("the seal is between fields without a step under way");
    }
}

void Invariants::CheckPlaces(const CFloemazeDlg& dlg) {
    const std::pair<const CSprite*, const char*> column[] = {
        {&dlg.m_background, "background"},        {&dlg.m_buttonStart, "start button"},
        {&dlg.m_buttonOptions, "options button"}, {&dlg.m_buttonExit, "exit button"},
        {&dlg.m_sealPicture, "seal picture"},     {&dlg.m_separator, "separator"},
    };
    for (const auto& [sprite, name] : column) {
        if (!InsideWindow(Bounds(*sprite))) {
            Fail(std::string(name) + " at " + Where(sprite->m_nX, sprite->m_nY) +
                 " is outside the window");
        }
    }

    if (dlg.m_logo.m_nX == dlg.m_sideX && dlg.m_logo.m_nY == 0) {
        m_logoAway = false;
    } else if (!m_logoAway) {
        Fail("the logo left its place at " + Where(dlg.m_logo.m_nX, dlg.m_logo.m_nY) +
             " without being dragged");
    }

    // The panel shows inside the window or lies wholly above it.
    for (const CSprite* sprite : {&dlg.m_optionsMenu, &dlg.m_radioLeft, &dlg.m_radioRight,
                                  &dlg.m_checkAnimation, &dlg.m_checkDrag}) {
        const RECT r = Bounds(*sprite);
        if (dlg.m_panelY == 0 ? !InsideWindow(r) : r.bottom > 0) {
            Fail("a panel sprite at " + Where(r.left, r.top) + " with the panel offset " +
                 std::to_string(dlg.m_panelY));
        }
    }

    const int board = dlg.m_sideX == 0 ? 200 : 0;
    if (dlg.m_startPhase == startscreen::kShown) {
        for (int k = 0; k < CFloemazeDlg::kStartTiles; ++k) {
            const CSprite& tile = dlg.m_startTiles[static_cast<std::size_t>(k)];
            if (tile.m_nX != board + 50 * (k / 10) || tile.m_nY != 50 * (k % 10) ||
                (tile.m_nDepth != 105 && tile.m_nDepth != 107)) {
                Fail("start tile " + std::to_string(k) + " is not in its place on the start " +
                     "screen: " + Where(tile.m_nX, tile.m_nY) + " depth " +
                     std::to_string(tile.m_nDepth));
                break;
            }
        }
    }
    if (dlg.m_gameStarted && dlg.m_maze.m_bRunning) {
        for (const MazeCell& cell : dlg.m_maze.m_cells) {
            const CSprite& tile = cell.m_tile;
            if (tile.m_nX != board + kField * cell.m_nCol || tile.m_nY != kField * cell.m_nRow ||
                tile.m_nDepth != 80) {
                Fail("the tile of field " + Where(cell.m_nCol, cell.m_nRow) + " lies at " +
                     Where(tile.m_nX, tile.m_nY) + " depth " + std::to_string(tile.m_nDepth) +
                     " during a game");
                break;
            }
        }
        if (!InsideWindow(Bounds(dlg.m_maze.m_seal))) Fail("the seal is outside the window");
    }
}

void Invariants::CheckPanel(const CFloemazeDlg& dlg) {
    if (dlg.m_panelState < panel::kClosed || dlg.m_panelState >= panel::kStates) {
        Fail("panel state out of range");
    }
    if (dlg.m_panelSlide < 0 || dlg.m_panelSlide > 110 || dlg.m_panelSlide % 10 != 0) {
        Fail("exit button slid by " + std::to_string(dlg.m_panelSlide));
    }
    if (dlg.m_panelY != 0 && dlg.m_panelY != -1000) Fail("panel offset out of range");
    if (!std::isfinite(dlg.m_panelAlpha) || dlg.m_panelAlpha < -0.2f || dlg.m_panelAlpha > 1.2f) {
        Fail("panel opacity out of range");
    }
    if (dlg.m_startPhase < startscreen::kShown || dlg.m_startPhase > startscreen::kReturning ||
        dlg.m_startCounter < 0 || dlg.m_startCounter > 100) {
        Fail("start screen phase or counter out of range");
    }
}

void Invariants::CheckOrder(const CFloemazeDlg& dlg, bool afterUpdate) {
    ListOf(dlg.m_sprites, m_list);
    const std::size_t expected = 112 + (dlg.m_gameStarted ? 401 : 0);
    if (m_list.size() != expected) {
        Fail("the sprite list holds " + std::to_string(m_list.size()) + " sprites, not " +
             std::to_string(expected));
    }

    // Out of order: a sprite behind which, nearer the head, lies one of greater depth. Sprites get
    // there only by a change of depth, and every update moves at least one of them into place
    // (a re-sorted sprite goes before the first sprite of equal or greater depth, which puts it in
    // order and takes no other sprite out of order). So without a change of depth since the last
    // check, an update leaves fewer sprites out of order, or none.
    int outOfOrder = 0;
    int highest = INT_MIN;
    m_depthsNow.clear();
    for (const CSprite* sprite : m_list) {
        if (sprite->m_nDepth < highest) ++outOfOrder;
        highest = std::max(highest, sprite->m_nDepth);
        m_depthsNow.emplace_back(sprite, sprite->m_nDepth);
    }
    std::sort(m_depthsNow.begin(), m_depthsNow.end());
    if (std::adjacent_find(m_depthsNow.begin(), m_depthsNow.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }) !=
        m_depthsNow.end()) {
        Fail("a sprite is in the list twice");
    }
    if (m_depthsNow == m_depthsBefore && m_outOfOrder >= 0) {
        const int allowed = afterUpdate && m_outOfOrder > 0 ? m_outOfOrder - 1 : m_outOfOrder;
        if (outOfOrder > allowed) {
            Fail(std::to_string(outOfOrder) + " sprites out of depth order, " +
                 std::to_string(m_outOfOrder) + " before " +
                 (afterUpdate ? "an update" : "painting") + " and no depth changed");
        }
    }
    m_outOfOrder = outOfOrder;
    std::swap(m_depthsNow, m_depthsBefore);
}

void Invariants::CheckScreen(const CFloemazeDlg& dlg, bool whole) {
    auto* peer = platform::headless::PeerOf(dlg);
    if (peer == nullptr) return;
    for (const RECT& r : peer->PresentedRects()) {
        if (r.left >= r.right || r.top >= r.bottom || !InsideWindow(r)) {
            Fail("a rectangle outside the window was put on the screen: " + Where(r.left, r.top) +
                 " to " + Where(r.right, r.bottom));
        }
    }
    peer->ResetPresented();

    const CDIB& back = dlg.m_backBuffer;
    if (back.GetWidth() != kWidth || back.GetHeight() != kHeight || back.GetBitCount() != 24) {
        Fail("the back buffer is no longer a 700 × 500 24-bit image");
        return;
    }
    // A minimised window shows its icon; it is drawn whole again when restored.
    if (peer->IsMinimized()) return;

    // The screen shows the back buffer except where a change waits for the next update. A check
    // compares every m_rowStep-th row, starting one row further on each time, so that consecutive
    // checks cover the whole window.
    // m_list is the list as CheckOrder has just read it.
    m_waiting.clear();
    for (const CSprite* sprite : m_list) {
        if (sprite->m_rcDirty != RECT{}) m_waiting.push_back(sprite->m_rcDirty);
    }
    const platform::Bitmap& screen = *peer->Surface();
    const int step = whole ? 1 : m_rowStep;
    m_rowOffset = (m_rowOffset + 1) % m_rowStep;
    for (int y = whole ? 0 : m_rowOffset; y < kHeight; y += step) {
        const unsigned char* shown = screen.Row(y);
        const unsigned char* composed = back.GetPixelAddress(0, y);
        for (int x = 0; x < kWidth; ++x, shown += 4, composed += 3) {
            // Four bytes at a time; the fourth byte of the last pixel of a row lies beyond it.
            std::uint32_t a = 0;
            std::uint32_t b = 0;
            std::memcpy(&a, shown, 4);
            if (x + 1 < kWidth) {
                std::memcpy(&b, composed, 4);
            } else {
                b = composed[0] | composed[1] << 8 | composed[2] << 16;
            }
            if (((a ^ b) & 0xFFFFFFu) == 0) continue;
            const POINT p{x, y};
            const bool pendingThere = std::any_of(m_waiting.begin(), m_waiting.end(),
                                                  [&](const RECT& r) { return PtInRect(&r, p); });
            if (!pendingThere) {
                Fail("the screen differs from the back buffer at " + Where(x, y) +
                     ", where no change is pending");
                return;
            }
        }
    }
}

}  // namespace soak
