// SPDX-License-Identifier: GPL-3.0-or-later
#include "maze/MazeBoard.h"

#include <cassert>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "lang/Language.h"
#include "platform/MessageBox.h"

namespace maze {
int g_nSubStep = CMazeBoard::kMovesPerStep;
int g_nTickCount = 0;
int g_nFallCount = 0;

namespace {
// Whether sprite's image holds its whole sheet of columns × rows frames; when it does not, the
// reason is shown and the image is let go.
bool HoldsFrames(CSprite& sprite, int columns, int rows) {
    const long long width = static_cast<long long>(columns) * sprite.m_nFrameWidth;
    const long long height = static_cast<long long>(rows) * sprite.m_nFrameHeight;
    if (sprite.GetWidth() >= width && sprite.GetHeight() >= height) return true;
    const std::string reason = lang::Format(
        lang::Tr("Das Bild ist zu klein für seine Einzelbilder: %d × %d Pixel statt %lld × %lld."),
        sprite.GetWidth(), sprite.GetHeight(), width, height);
    AfxMessageBox(reason.c_str(), MB_OK, 0);
    sprite.Share(CDIB());
    return false;
}
}  // namespace

bool LoadPicture(CSprite& sprite, res::Picture picture) {
    const res::PictureInfo& info = res::PictureOf(picture);
    // A picture too small for its frames is reported like one that cannot be loaded.
    const std::string file = lang::PictureFile(info.file);
    if (sprite.Load(file.c_str(), info.keyed ? TRUE : FALSE, info.frameWidth, info.frameHeight) &&
        HoldsFrames(sprite, info.columns, info.rows)) {
        return true;
    }
    AfxMessageBox(lang::Tr(info.failedLoad), MB_OK, 0);
    // The box names the file only; where it was looked for tells a player what to fix.
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    const std::string tried = error ? file : (folder / file).string();
    std::fprintf(stderr, "floemaze: cannot load %s\n", tried.c_str());
    return false;
}
}  // namespace maze

static_assert(res::PictureOf(res::Picture::Path).frameWidth == CMazeBoard::kField &&
                  res::PictureOf(res::Picture::Path).frameHeight == CMazeBoard::kField &&
                  res::PictureOf(res::Picture::BabySeal).frameWidth == CMazeBoard::kField &&
                  res::PictureOf(res::Picture::BabySeal).frameHeight == CMazeBoard::kField,
              "a tile and the seal each cover one field");

namespace {

using namespace direction;
namespace tiles = res::tiles;

constexpr int kColumnStep[4] = {0, 0, -1, 1};
constexpr int kRowStep[4] = {-1, 1, 0, 0};

// Depths against the window's background picture at 3.
constexpr int kTileHidden = 1;
constexpr int kTileShown = 80;
constexpr int kSealHidden = 2;
constexpr int kSealShown = 90;

constexpr int kFallTicks = 80;

// Bit of each direction in the open sides of a passage piece.
constexpr unsigned kSideBit[4] = {tiles::kUp, tiles::kDown, tiles::kLeft, tiles::kRight};

bool InGrid(int col, int row) {
    return col >= 0 && col < CMazeBoard::kSize && row >= 0 && row < CMazeBoard::kSize;
}

// A count for the plural forms: never negative, as counters wrap to 0.
unsigned long Count(int n) {
    return n > 0 ? static_cast<unsigned long>(n) : 0;
}

// Counters that would run for years: wrap to 0 rather than overflow.
void Advance(int& counter) {
    counter = counter == INT_MAX ? 0 : counter + 1;
}

bool OnField(const CSprite& sprite) {
    return sprite.m_nX % CMazeBoard::kField == 0 && sprite.m_nY % CMazeBoard::kField == 0;
}

}  // namespace

CMazeBoard::CMazeBoard() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_nMaxDepth = 0;
    m_bHelp = false;
    m_bFirstGame = true;
    m_nDirection = kStand;
    const int phase = std::rand() % 2;
    const int facing = std::rand() % 4;
    m_nSealAnim = phase;
    m_seal.SetFrame(facing, phase);
}

MazeCell* CMazeBoard::CellAt(int col, int row) {
    return InGrid(col, row) ? &m_cells[static_cast<std::size_t>(col * kSize + row)] : nullptr;
}

const MazeCell* CMazeBoard::CellAt(int col, int row) const {
    return InGrid(col, row) ? &m_cells[static_cast<std::size_t>(col * kSize + row)] : nullptr;
}

MazeCell* CMazeBoard::Neighbour(const MazeCell* cell, int d) {
    if (cell == nullptr || d < kUp || d > kRight) return nullptr;
    return CellAt(cell->m_nCol + kColumnStep[d], cell->m_nRow + kRowStep[d]);
}

void CMazeBoard::NewGame() {
    if (m_bFirstGame) {
        // A failure is reported and the game goes on without the picture.
        maze::LoadPicture(m_seal, res::Picture::BabySeal);
        m_seal.SetDepth(kSealHidden);
        m_boardSprites.Insert(&m_seal);
        maze::LoadPicture(m_tileTemplate, res::Picture::Path);
        m_tileTemplate.SetDepth(kTileHidden);
        for (int col = 0; col < kSize; ++col) {
            for (int row = 0; row < kSize; ++row) {
                MazeCell& cell = *CellAt(col, row);
                cell.m_tile = m_tileTemplate;
                m_boardSprites.Insert(&cell.m_tile);
                cell.m_nCol = col;
                cell.m_nRow = row;
            }
        }
        m_bFirstGame = false;
    }
    for (int col = 0; col < kSize; ++col) {
        for (int row = 0; row < kSize; ++row) {
            MazeCell& cell = *CellAt(col, row);
            cell.m_bOpen = 0;
            cell.m_tile.MoveTo(col * kField, row * kField);
            cell.m_nDistance = -1;
            cell.m_tile.SetDepth(kTileHidden);
        }
    }
    // Whatever step was under way, or whatever direction a key set between games, the new game
    // begins with the seal standing on its start field.
    maze::g_nSubStep = kMovesPerStep;
    m_nDirection = kStand;
    Generate();
    m_nStepsHelp = 0;
    m_nStepsOwn = 0;
}

void CMazeBoard::Generate() {
    const int side = std::rand() % 4;
    int col = 0;
    int row = 0;
    switch (side) {
        case 0:
            col = std::rand() % kSize;
            row = 0;
            break;
        case 1:
            col = std::rand() % kSize;
            row = kSize - 1;
            break;
        case 2:
            col = 0;
            row = std::rand() % kSize;
            break;
        default:
            col = kSize - 1;
            row = std::rand() % kSize;
            break;
    }
    m_nMaxDepth = 0;
    Carve(CellAt(col, row), 0);
    ChooseTiles();
    m_pFamilyCell->m_tile.SetFrame(tiles::kFamilyColumn, tiles::kFamilyRow);
    m_nFillCalls = 0;
    FillDistances(m_pFamilyCell, 0);
    m_nShortest = CellAt(m_nSealCol, m_nSealRow)->m_nDistance;
    m_bHelp = false;
    m_bRunning = true;
}

void CMazeBoard::Carve(MazeCell* cell, int depth) {
    if (cell == nullptr || !InGrid(cell->m_nCol, cell->m_nRow)) return;
    cell->m_bOpen = 1;
    if (depth == 0) {
        m_nMaxDepth = 0;
        m_pFamilyCell = cell;
    }
    if (depth > m_nMaxDepth) {
        m_nMaxDepth = depth;
        m_nSealCol = cell->m_nCol;
        m_nSealRow = cell->m_nRow;
    }
    // A mark set in an earlier pass stays selectable even when its neighbour has since stopped
    // passing the test; that is how the maze gets its loops.
    bool marked[4] = {false, false, false, false};
    for (;;) {
        int count = 0;
        for (int d = kUp; d <= kRight; ++d) {
            const MazeCell* next = Neighbour(cell, d);
            if (next == nullptr || next->m_bOpen != 0) continue;
            CountOpenNeighbours(next);
            const int back = d ^ 1;  // up <-> down, left <-> right
            bool touches = false;
            for (int e = kUp; e <= kRight; ++e) {
                if (e != back && m_bOpenNeighbour[e] != 0) touches = true;
            }
            if (touches) continue;
            ++count;
            marked[d] = true;
        }
        if (count == 0) return;
        int g = std::rand() % 4;
        while (!marked[g]) g = std::rand() % 4;
        marked[g] = false;
        MazeCell* chosen = Neighbour(cell, g);
        // Only this field ever marks that wall, so nobody else can have opened it.
        assert(chosen != nullptr && chosen->m_bOpen == 0);
        Carve(chosen, depth + 1);
        if (count == 1) return;
    }
}

int CMazeBoard::CountOpenNeighbours(const MazeCell* cell) {
    for (BYTE& flag : m_bOpenNeighbour) flag = 0;
    if (cell == nullptr || !InGrid(cell->m_nCol, cell->m_nRow)) return 0;
    int count = 0;
    // The order of the tests is up, left, right, down.
    for (const int d : {kUp, kLeft, kRight, kDown}) {
        const MazeCell* next = CellAt(cell->m_nCol + kColumnStep[d], cell->m_nRow + kRowStep[d]);
        if (next != nullptr && next->m_bOpen == 1) {
            m_bOpenNeighbour[d] = 1;
            ++count;
        }
    }
    return count;
}

void CMazeBoard::ChooseTiles() {
    for (MazeCell& cell : m_cells) {
        if (cell.m_bOpen == 1) {
            CountOpenNeighbours(&cell);
            unsigned sides = 0;
            for (int d = kUp; d <= kRight; ++d) {
                if (m_bOpenNeighbour[d] != 0) sides |= kSideBit[d];
            }
            // An open field always has an open neighbour, so row 0 (unused) never shows.
            cell.m_tile.SetFrame(tiles::kPassageColumn, tiles::PassageRow(sides));
        } else {
            cell.m_tile.SetFrame(tiles::kWallColumn, std::rand() % tiles::kWallPictures);
        }
    }
}

void CMazeBoard::FillDistances(MazeCell* cell, int length) {
    // The step to the right continues this call instead of recursing, which keeps the recursion
    // below the number of open fields. A field is only processed again when a shorter way reaches
    // it: a way of equal length finds nothing new, and following those too would repeat the whole
    // part beyond every open 2 × 2 block once per way through it, which doubles with each block.
    while (cell != nullptr) {
        ++m_nFillCalls;
        if (cell->m_nDistance != -1 && length >= cell->m_nDistance) return;
        cell->m_nDistance = length;
        const int col = cell->m_nCol;
        const int row = cell->m_nRow;
        for (const int d : {kUp, kDown, kLeft}) {
            MazeCell* next = CellAt(col + kColumnStep[d], row + kRowStep[d]);
            if (next != nullptr && next->m_bOpen == 1) FillDistances(next, length + 1);
        }
        MazeCell* right = CellAt(col + 1, row);
        if (right == nullptr || right->m_bOpen != 1) return;
        cell = right;
        ++length;
    }
}

void CMazeBoard::HelpStep() {
    if (OnField(m_seal)) ChooseHintDirection();
}

void CMazeBoard::ChooseHintDirection() {
    const MazeCell* here = CellAt(m_nSealCol, m_nSealRow);
    if (here == nullptr || here->m_nDistance == 0) return;
    int best = 99999;
    int choice = -1;
    for (int d = kUp; d <= kRight; ++d) {
        const MazeCell* next = CellAt(m_nSealCol + kColumnStep[d], m_nSealRow + kRowStep[d]);
        if (next != nullptr && next->m_nDistance != -1 && next->m_nDistance < best) {
            best = next->m_nDistance;
            choice = d;
        }
    }
    if (choice >= 0) m_nDirection = choice;
}

void CMazeBoard::ShowResult() {
    m_seal.SetDepth(kSealHidden);
    std::string text;
    if (m_nStepsOwn == 0) {
        text = lang::Tr(
            "\nDas hier ist doch kein Bildschirmschoner! Du darfst ruhig auch mal selbst was "
            "machen.");
    } else {
        // One whole message for each way the game can end, so that a translation can order it
        // as its language needs; the counts come in with their own plural forms.
        const int total = m_nStepsHelp + m_nStepsOwn;
        const bool shortest = total == m_nShortest;
        const char* message;
        if (m_nStepsHelp == 0) {
            message = shortest
                          ? lang::Tr(
                                "Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n"
                                "\nDazu hast du %1$s gebraucht.\nDavon mit Hilfe: %2$s"
                                "\nAuf eigene Faust: %3$s\nDas war der kürzeste Weg! Die kleine "
                                "Robbe hat also noch genug Kraft,\num irgendwann endlich "
                                "schwimmen zu lernen!")
                          : lang::Tr(
                                "Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n"
                                "\nDazu hast du %1$s gebraucht.\nDavon mit Hilfe: %2$s"
                                "\nAuf eigene Faust: %3$s\nDer Schnellste weg wäre %4$s lang "
                                "gewesen.");
        } else {
            message = shortest
                          ? lang::Tr(
                                "Schön, dass du dabei geholfen hast, dass die Robbe zu ihrer "
                                "Familie zurück gebracht wurde.\nDazu hast du %1$s gebraucht."
                                "\nDavon mit Hilfe: %2$s\nAuf eigene Faust: %3$s\nDas war der "
                                "kürzeste Weg! Die kleine Robbe hat also noch genug Kraft,\num "
                                "irgendwann endlich schwimmen zu lernen!")
                          : lang::Tr(
                                "Schön, dass du dabei geholfen hast, dass die Robbe zu ihrer "
                                "Familie zurück gebracht wurde.\nDazu hast du %1$s gebraucht."
                                "\nDavon mit Hilfe: %2$s\nAuf eigene Faust: %3$s\nDer "
                                "Schnellste weg wäre %4$s lang gewesen.");
        }
        const auto steps = [](int n) {
            // Translators: a number of steps, put into the result message.
            return lang::Format(lang::TrN("%d Schritte", "%d Schritte", Count(n)), n);
        };
        const std::string fields = lang::Format(
            // Translators: the length of the shortest way, put into the result message.
            lang::TrN("%d Felder", "%d Felder", Count(m_nShortest)), m_nShortest);
        text = lang::Format(message, steps(total).c_str(), steps(m_nStepsHelp).c_str(),
                            steps(m_nStepsOwn).c_str(), fields.c_str());
    }
    AfxMessageBox(text.c_str(), MB_OK, 0);
}

void CMazeBoard::Place(int x0) {
    for (int col = 0; col < kSize; ++col) {
        for (int row = 0; row < kSize; ++row) {
            CellAt(col, row)->m_tile.MoveTo(x0 + col * kField, row * kField);
        }
    }
    m_seal.MoveTo(x0 + m_nSealCol * kField, m_nSealRow * kField);
    // The seal now stands on the field it was moving into; the step was counted on its first
    // move, so ending it here neither loses nor repeats it.
    if (maze::g_nSubStep > 0 && maze::g_nSubStep < kMovesPerStep) {
        maze::g_nSubStep = kMovesPerStep;
        m_nDirection = kStand;
    }
}

void CMazeBoard::ShowBoard() {
    for (MazeCell& cell : m_cells) cell.m_tile.SetDepth(kTileShown);
    m_seal.SetDepth(kSealShown);
}

bool CMazeBoard::StepTargetOpen(int d) const {
    if (d < kUp || d > kRight) return false;
    const MazeCell* next = CellAt(m_nSealCol + kColumnStep[d], m_nSealRow + kRowStep[d]);
    return next != nullptr && next->m_bOpen == 1;
}

void CMazeBoard::TryDirection(int d) {
    if (m_nDirection == kStand && StepTargetOpen(d)) m_nDirection = d;
}

void CMazeBoard::Tick() {
    if (m_bRunning) {
        const int s = maze::g_nSubStep;
        if (m_pFamilyCell != nullptr && m_pFamilyCell->m_nCol == m_nSealCol &&
            m_pFamilyCell->m_nRow == m_nSealRow && OnField(m_seal)) {
            m_bRunning = false;
            ShowResult();
            // The seal is home: the walk comes to a stand, as after the last move of a step.
            maze::g_nSubStep = kMovesPerStep;
            m_nDirection = kStand;
        } else if (s != 0) {
            if (m_bHelp) HelpStep();
            // A step begins only towards an open field inside the grid, whoever set the
            // direction.
            if (s == kMovesPerStep && m_nDirection != kStand && !StepTargetOpen(m_nDirection)) {
                m_nDirection = kStand;
            }
            int dx = 0;
            int dy = 0;
            int frameRow = 0;
            switch (m_nDirection) {
                case kUp:
                case kDown:
                case kLeft:
                    dx = kColumnStep[m_nDirection] * 5;
                    dy = kRowStep[m_nDirection] * 5;
                    frameRow = m_nSealAnim % 2;
                    Advance(m_nSealAnim);
                    break;
                case kRight:
                    dx = 5;
                    frameRow = (maze::g_nTickCount / 3) % 2;
                    break;
                default:
                    break;
            }
            if (m_nDirection >= kUp && m_nDirection <= kRight) {
                m_seal.MoveTo(m_seal.m_nX + dx, m_seal.m_nY + dy);
                m_seal.SetFrame(m_nDirection, frameRow);
                if (s == kMovesPerStep) {
                    m_nSealCol += kColumnStep[m_nDirection];
                    m_nSealRow += kRowStep[m_nDirection];
                    if (m_bHelp) {
                        ++m_nStepsHelp;
                    } else {
                        ++m_nStepsOwn;
                    }
                }
                maze::g_nSubStep = s - 1;
            }
            Advance(maze::g_nTickCount);
            maze::g_nFallCount = 0;
        } else {
            maze::g_nSubStep = kMovesPerStep;
            m_nDirection = kStand;
        }
    }
    if (!m_bRunning) Fall();
    FlickerWalls();
}

void CMazeBoard::Fall() {
    const int c = maze::g_nFallCount;
    if (c < kFallTicks) {
        const int dy = c - 2 * (c / 3);
        for (MazeCell& cell : m_cells) {
            const int dx = std::rand() % 10 - 5;
            cell.m_tile.MoveTo(cell.m_tile.m_nX + dx, cell.m_tile.m_nY + dy);
        }
        maze::g_nFallCount = c + 1;
    } else {
        for (MazeCell& cell : m_cells) cell.m_tile.SetDepth(kTileHidden);
    }
}

void CMazeBoard::FlickerWalls() {
    for (int i = 0; i < 5; ++i) {
        const int col = std::rand() % kSize;
        const int row = std::rand() % kSize;
        MazeCell& cell = *CellAt(col, row);
        if (cell.m_bOpen == 1) continue;
        cell.m_tile.SetFrame(tiles::kWallColumn, std::rand() % tiles::kWallPictures);
    }
}
