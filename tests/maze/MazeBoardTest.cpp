// SPDX-License-Identifier: GPL-3.0-or-later
#include "maze/MazeBoard.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "lang/Language.h"
#include "sprites/SpriteList.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/BoardPictures.h"
#include "tests/support/MazeAscii.h"
#include "tests/support/MessageRecorder.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr unsigned kManySeeds = 1000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr unsigned kManySeeds = 1000;
#else
constexpr unsigned kManySeeds = 10000;
#endif
#else
constexpr unsigned kManySeeds = 10000;
#endif

using namespace direction;
constexpr int kColumnStep[4] = {0, 0, -1, 1};
constexpr int kRowStep[4] = {-1, 1, 0, 0};

// The result texts, written out as the child reads them.
const std::string kOnlyHelp =
    "\nDas hier ist doch kein Bildschirmschoner! Du darfst ruhig auch mal selbst was machen.";
const std::string kAloneOpening = "Du hast die kleine Robbe zu ihrer Familie zurück gebracht!\n";
const std::string kHelpedOpening =
    "Schön, dass du dabei geholfen hast, dass die Robbe zu ihrer Familie zurück gebracht wurde.";
const std::string kShortestEnding =
    "\nDas war der kürzeste Weg! Die kleine Robbe hat also noch genug Kraft,\num irgendwann "
    "endlich schwimmen zu lernen!";

std::string Counts(int total, int help, int own) {
    return "\nDazu hast du " + std::to_string(total) +
           " Schritte gebraucht.\nDavon mit Hilfe: " + std::to_string(help) +
           " Schritte\nAuf eigene Faust: " + std::to_string(own) + " Schritte";
}
std::string LongerEnding(int shortest) {
    return "\nDer Schnellste weg wäre " + std::to_string(shortest) + " Felder lang gewesen.";
}

// A board whose game has started as the window starts one: pictures in the current directory,
// NewGame at a seed, the board placed at the right of the control column and shown.
struct Game {
    BoardPictures pictures;
    MessageRecorder messages;
    CMazeBoard board;

    explicit Game(unsigned seed) {
        std::srand(seed);
        board.NewGame();
        board.Place(200);
        board.ShowBoard();
    }
    MazeCell& Seal() { return *board.CellAt(board.m_nSealCol, board.m_nSealRow); }
    // Starts a game on a drawn maze instead, measured and shown like a generated one.
    void Draw(std::string_view art) {
        SetMaze(board, art);
        board.ChooseTiles();
        board.FillDistances(board.m_pFamilyCell, 0);
        board.m_nShortest = Seal().m_nDistance;
        board.m_nStepsHelp = board.m_nStepsOwn = 0;
        board.m_bRunning = true;
        board.m_bHelp = false;
        board.Place(200);
        board.ShowBoard();
    }
    // The direction a child who knows the way would press: the first neighbour nearest home.
    int HomeDirection() {
        int best = -1;
        int bestDistance = 1 << 30;
        for (int d = kUp; d <= kRight; ++d) {
            const MazeCell* next =
                board.CellAt(board.m_nSealCol + kColumnStep[d], board.m_nSealRow + kRowStep[d]);
            if (next != nullptr && next->m_bOpen == 1 && next->m_nDistance < bestDistance) {
                best = d;
                bestDistance = next->m_nDistance;
            }
        }
        return best;
    }
    int OpenDirection() {
        for (int d = kUp; d <= kRight; ++d) {
            const MazeCell* next =
                board.CellAt(board.m_nSealCol + kColumnStep[d], board.m_nSealRow + kRowStep[d]);
            if (next != nullptr && next->m_bOpen == 1) return d;
        }
        return -1;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) board.Tick();
    }
    // Two steps more than needed: to an open neighbour and back.
    void Detour() {
        const int away = OpenDirection();
        Press(away);
        Ticks(1);
        Press(away ^ 1);
        Ticks(1);
    }
    // A key press and the five moves of the step it starts; the standing tick is still to come.
    void Press(int d) {
        board.TryDirection(d);
        Ticks(5);
    }
    // Walks home by keys along a shortest way, leaving the last standing tick (the arrival) out.
    // A maze without a way home fails the test rather than walk for ever.
    void WalkHomeByKeys() {
        for (int steps = 0; Seal().m_nDistance > 0; ++steps) {
            if (steps == CMazeBoard::kSize * CMazeBoard::kSize) {
                ADD_FAILURE() << "the seal found no way home by keys";
                return;
            }
            Press(HomeDirection());
            if (Seal().m_nDistance > 0) Ticks(1);
        }
    }
};

bool SealStandsOn(const CMazeBoard& board, int x0) {
    return board.m_seal.m_nX == x0 + board.m_nSealCol * 25 &&
           board.m_seal.m_nY == board.m_nSealRow * 25 && board.m_nDirection == kStand &&
           maze::g_nSubStep == 5;
}

// ---------------------------------------------------------------------------------------------
// Generation

// Frame row of the passage piece for the open neighbours named by their initials. The tile table
// itself is held against the drawn pieces by the picture tests.
int PassageRow(const std::string& open) {
    unsigned sides = 0;
    for (const char side : open) {
        sides |= side == 'u'   ? res::tiles::kUp
                 : side == 'd' ? res::tiles::kDown
                 : side == 'l' ? res::tiles::kLeft
                               : res::tiles::kRight;
    }
    return res::tiles::PassageRow(sides);
}

std::string OpenNeighbours(const CMazeBoard& board, int col, int row) {
    std::string open;
    const char names[4] = {'u', 'd', 'l', 'r'};
    for (int d = kUp; d <= kRight; ++d) {
        const MazeCell* next = board.CellAt(col + kColumnStep[d], row + kRowStep[d]);
        if (next != nullptr && next->m_bOpen == 1) open += names[d];
    }
    return open;
}

TEST(MazeBoardTest, GeneratedMazesKeepEveryInvariant) {
    Game game(0);
    CMazeBoard& board = game.board;
    for (unsigned seed = 0; seed < kManySeeds; ++seed) {
        std::srand(seed);
        board.NewGame();
        SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + MazeAscii(board));
        const MazeCell* family = board.m_pFamilyCell;
        ASSERT_NE(family, nullptr);
        EXPECT_TRUE(family->m_nCol == 0 || family->m_nCol == 19 || family->m_nRow == 0 ||
                    family->m_nRow == 19);
        EXPECT_EQ(family->m_tile.m_nFrameCol, 2);
        EXPECT_EQ(family->m_tile.m_nFrameRow, 0);

        const auto bfs = BfsDistances(board);
        for (int col = 0; col < 20; ++col) {
            for (int row = 0; row < 20; ++row) {
                const MazeCell& cell = *board.CellAt(col, row);
                ASSERT_EQ(cell.m_nDistance, bfs[static_cast<std::size_t>(col * 20 + row)])
                    << "field " << col << "," << row;
                if (cell.m_bOpen == 1) {
                    ASSERT_GE(cell.m_nDistance, 0) << "unreachable " << col << "," << row;
                    if (&cell != family) {
                        ASSERT_EQ(cell.m_tile.m_nFrameCol, 0);
                        ASSERT_EQ(cell.m_tile.m_nFrameRow,
                                  PassageRow(OpenNeighbours(board, col, row)));
                    }
                } else {
                    ASSERT_EQ(cell.m_bOpen, 0);
                    ASSERT_EQ(cell.m_tile.m_nFrameCol, 1);
                    ASSERT_LT(cell.m_tile.m_nFrameRow, 16);
                }
                ASSERT_EQ(cell.m_tile.m_nX, col * 25);
                ASSERT_EQ(cell.m_tile.m_nY, row * 25);
                ASSERT_EQ(cell.m_tile.m_nDepth, 1);
            }
        }
        const MazeCell& start = game.Seal();
        EXPECT_EQ(start.m_bOpen, 1);
        EXPECT_NE(&start, family);
        EXPECT_GE(board.m_nShortest, 1);
        EXPECT_EQ(board.m_nShortest, start.m_nDistance);
        EXPECT_TRUE(board.m_bRunning);
        EXPECT_FALSE(board.m_bHelp);
        EXPECT_EQ(board.m_nStepsOwn + board.m_nStepsHelp, 0);
        if (HasFailure()) break;
    }
}

// The carving, tile choice and seal start as described, on a plain grid, so whole mazes can be
// compared draw for draw: an extra or missing draw anywhere changes every maze after it.
struct ReferenceMaze {
    bool open[20][20] = {};
    int maxDepth = 0;
    int sealCol = -1, sealRow = -1, familyCol = -1, familyRow = -1;
    int wallFrame[20][20] = {};

    bool Open(int c, int r) const { return c >= 0 && c < 20 && r >= 0 && r < 20 && open[c][r]; }
    void Carve(int c, int r, int depth) {
        open[c][r] = true;
        if (depth > maxDepth) {
            maxDepth = depth;
            sealCol = c;
            sealRow = r;
        }
        bool mark[4] = {};
        for (;;) {
            int count = 0;
            for (int g = 0; g < 4; ++g) {
                const int nc = c + kColumnStep[g], nr = r + kRowStep[g];
                if (nc < 0 || nc > 19 || nr < 0 || nr > 19 || open[nc][nr]) continue;
                bool free = true;
                for (int e = 0; e < 4; ++e) {
                    if (e != (g ^ 1) && Open(nc + kColumnStep[e], nr + kRowStep[e])) free = false;
                }
                if (free) {
                    ++count;
                    mark[g] = true;
                }
            }
            if (count == 0) return;
            int g = std::rand() % 4;
            while (!mark[g]) g = std::rand() % 4;
            mark[g] = false;
            Carve(c + kColumnStep[g], r + kRowStep[g], depth + 1);
            if (count == 1) return;
        }
    }
    explicit ReferenceMaze(unsigned seed) {
        std::srand(seed);
        const int side = std::rand() % 4;
        const int along = std::rand() % 20;
        familyCol = side == 2 ? 0 : side == 3 ? 19 : along;
        familyRow = side == 0 ? 0 : side == 1 ? 19 : along;
        Carve(familyCol, familyRow, 0);
        for (int c = 0; c < 20; ++c) {
            for (int r = 0; r < 20; ++r) {
                if (!open[c][r]) wallFrame[c][r] = std::rand() % 16;
            }
        }
    }
};

TEST(MazeBoardTest, GenerationDrawsInTheDescribedOrderAndNumber) {
    Game game(0);
    CMazeBoard& board = game.board;
    int corners = 0;
    for (unsigned seed = 0; seed < kManySeeds / 5; ++seed) {
        const ReferenceMaze expected(seed);
        const int nextDraw = std::rand();
        std::srand(seed);
        board.NewGame();
        ASSERT_EQ(std::rand(), nextDraw) << "seed " << seed;
        SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + MazeAscii(board));
        ASSERT_EQ(board.m_pFamilyCell, board.CellAt(expected.familyCol, expected.familyRow));
        ASSERT_EQ(board.m_nSealCol, expected.sealCol);
        ASSERT_EQ(board.m_nSealRow, expected.sealRow);
        ASSERT_EQ(board.m_nMaxDepth, expected.maxDepth);
        for (int c = 0; c < 20; ++c) {
            for (int r = 0; r < 20; ++r) {
                const MazeCell& cell = *board.CellAt(c, r);
                ASSERT_EQ(cell.m_bOpen == 1, expected.open[c][r]) << c << "," << r;
                if (!expected.open[c][r]) {
                    ASSERT_EQ(cell.m_tile.m_nFrameRow, expected.wallFrame[c][r]);
                }
            }
        }
        const int c = expected.familyCol, r = expected.familyRow;
        if ((c == 0 || c == 19) && (r == 0 || r == 19)) ++corners;
    }
    EXPECT_GT(corners, 0) << "no family field in a corner among these seeds";
}

TEST(MazeBoardTest, DistancesAreShortestAlsoWhereTheMazeHasLoops) {
    Game game(0);
    CMazeBoard& board = game.board;
    // Going up first, the relaxation reaches the ring's fields the long way round before the
    // short way along row 3 corrects them; the two-wide corridor below is all loops.
    SetMaze(board,
            "....................\n"
            ".##################.\n"
            "F##################.\n"
            "....................\n"
            ".###################\n"
            "....................\n"
            "...................S\n");
    board.FillDistances(board.m_pFamilyCell, 0);
    EXPECT_EQ(board.CellAt(1, 3)->m_nDistance, 2);
    EXPECT_EQ(board.CellAt(19, 0)->m_nDistance, 21);
    EXPECT_EQ(board.CellAt(19, 6)->m_nDistance, 23);
    const auto bfs = BfsDistances(board);
    for (std::size_t i = 0; i < 400; ++i) EXPECT_EQ(board.m_cells[i].m_nDistance, bfs[i]) << i;
}

TEST(MazeBoardTest, DistanceMapCostStaysLinearThroughChainsOfLoops) {
    Game game(0);
    CMazeBoard& board = game.board;
    // A diagonal band of overlapping 2 × 2 blocks: the number of shortest ways doubles with each
    // block, so following every way of equal length would take millions of calls.
    std::string art;
    int open = 0;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            const bool inBand = c - r <= 1 && r - c <= 1;
            open += inBand ? 1 : 0;
            art += !inBand ? '#' : c + r == 0 ? 'F' : c + r == 38 ? 'S' : '.';
        }
        art += '\n';
    }
    SetMaze(board, art);
    board.m_nFillCalls = 0;
    board.FillDistances(board.m_pFamilyCell, 0);
    EXPECT_EQ(board.CellAt(19, 19)->m_nDistance, 38);
    const auto bfs = BfsDistances(board);
    for (std::size_t i = 0; i < 400; ++i) EXPECT_EQ(board.m_cells[i].m_nDistance, bfs[i]) << i;
    EXPECT_LE(board.m_nFillCalls, 4 * open);
}

TEST(MazeBoardTest, PassagePiecesFollowOpenNeighboursAndTheGridEdge) {
    Game game(0);
    CMazeBoard& board = game.board;
    SetMaze(board,
            "F..#################\n"
            "#..#####.###########\n"
            "#.#.####.###########\n"
            "###...........######\n"
            "#####.####.#########\n"
            "##########.#########\n");
    board.ChooseTiles();
    EXPECT_EQ(board.CountOpenNeighbours(board.CellAt(1, 0)), 3);  // left, right and down
    EXPECT_EQ(board.m_bOpenNeighbour[kLeft] + board.m_bOpenNeighbour[kRight] +
                  board.m_bOpenNeighbour[kDown] * 10 + board.m_bOpenNeighbour[kUp] * 100,
              12);
    const std::map<std::pair<int, int>, int> rows = {
        {{0, 0}, 4},    // only right: top row and left column are outside
        {{2, 0}, 8},    // down and left, top row
        {{1, 2}, 1},    // dead end open upwards
        {{3, 2}, 2},    // dead end open downwards
        {{4, 3}, 10},   // left and right
        {{5, 3}, 14},   // down, left, right
        {{8, 3}, 13},   // up, left, right
        {{10, 3}, 14},  // down, left, right
        {{13, 3}, 3},   // dead end open to the left
        {{10, 4}, 5},   // up and down
    };
    for (const auto& [field, row] : rows) {
        const CSprite& tile = board.CellAt(field.first, field.second)->m_tile;
        EXPECT_EQ(tile.m_nFrameCol, 0) << field.first << "," << field.second;
        EXPECT_EQ(tile.m_nFrameRow, row) << field.first << "," << field.second;
    }
    SetMaze(board,
            "###.################\n"
            "##...###############\n"
            "###.################\n");
    board.ChooseTiles();
    EXPECT_EQ(board.CellAt(3, 1)->m_tile.m_nFrameRow, 15);
    SetMaze(board,
            "##################..\n"
            "###################.\n");
    board.ChooseTiles();
    EXPECT_EQ(board.CellAt(19, 0)->m_tile.m_nFrameRow, 8);  // down and left in the corner
    EXPECT_EQ(board.CellAt(18, 0)->m_tile.m_nFrameRow, 4);
}

TEST(MazeBoardTest, ConstructorTurnsTheSealWithTwoDrawsFromTheTimeSeed) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        CMazeBoard board;
        if (std::time(nullptr) != before) continue;  // the second changed meanwhile
        std::srand(static_cast<unsigned>(before));
        const int phase = std::rand() % 2;
        const int facing = std::rand() % 4;
        EXPECT_EQ(board.m_nSealAnim, phase);
        EXPECT_EQ(board.m_seal.m_nFrameCol, facing);
        EXPECT_EQ(board.m_seal.m_nFrameRow, phase);
        EXPECT_EQ(board.m_nDirection, kStand);
        EXPECT_TRUE(board.m_bFirstGame);
        EXPECT_FALSE(board.m_bHelp);
        return;
    }
    GTEST_SKIP() << "the clock kept changing its second";
}

// ---------------------------------------------------------------------------------------------
// Pictures, placement and the board's sprites

TEST(MazeBoardTest, FirstGameLoadsThePicturesOnceAndCollectsTheBoardsSprites) {
    Game game(7);
    CMazeBoard& board = game.board;
    EXPECT_TRUE(game.messages.Messages().empty());
    EXPECT_FALSE(board.m_bFirstGame);
    EXPECT_EQ(board.m_boardSprites.GetCount(), 401);
    EXPECT_EQ(board.m_seal.m_nFrameWidth, 25);
    EXPECT_EQ(board.m_seal.m_bColorKey, TRUE);
    EXPECT_EQ(board.m_tileTemplate.m_bColorKey, FALSE);
    EXPECT_EQ(board.m_tileTemplate.m_nDepth, 1);
    const MazeCell& last = board.m_cells[399];
    EXPECT_EQ(last.m_tile.m_pBits, board.m_tileTemplate.m_pBits);  // shared, not copied
    EXPECT_EQ(last.m_tile.m_nFrameWidth, 25);
    EXPECT_EQ(last.m_tile.m_bColorKey, FALSE);
    EXPECT_EQ(last.m_nCol, 19);
    EXPECT_EQ(last.m_nRow, 19);

    // Pictures changed or gone now make no difference: a later game loads nothing.
    std::filesystem::remove(game.pictures.Dir().File("Babyrobbe.bmp"));
    std::filesystem::remove(game.pictures.Dir().File("Weg.bmp"));
    const unsigned char* sealPixels = board.m_seal.m_pBits;
    board.NewGame();
    EXPECT_TRUE(game.messages.Messages().empty());
    EXPECT_EQ(board.m_boardSprites.GetCount(), 401);
    EXPECT_EQ(board.m_seal.m_pBits, sealPixels);
    EXPECT_TRUE(board.m_bRunning);
}

TEST(MazeBoardTest, MissingPicturesAreReportedAndTheGameGoesOn) {
    BoardPictures pictures(false, false);
    MessageRecorder messages;
    CMazeBoard board;
    std::srand(3);
    board.NewGame();
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0], "Die Datei \"Babyrobbe.bmp\" konnte nicht geladen werden!");
    EXPECT_EQ(messages.Messages()[1], "Die Datei \"Weg.bmp\" konnte nicht geladen werden!");
    EXPECT_TRUE(board.m_bRunning);
    EXPECT_EQ(board.m_boardSprites.GetCount(), 401);
    EXPECT_GE(board.m_nShortest, 1);
    board.NewGame();
    EXPECT_EQ(messages.Messages().size(), 2u);
}

TEST(MazeBoardTest, PicturesTooSmallForTheirFramesAreReportedAndNeverDrawn) {
    BoardPictures pictures;
    // One pixel row short of 4 × 2 and of 3 × 16 frames of 25 × 25.
    for (const auto& [name, width, height] :
         {std::tuple{"Babyrobbe.bmp", 100, 49}, std::tuple{"Weg.bmp", 75, 399}}) {
        CDIB image;
        ASSERT_TRUE(image.CreateFilled(nullptr, width, height, RGB(9, 99, 199)));
        ASSERT_TRUE(image.Save(pictures.Dir().File(name).c_str()));
    }
    MessageRecorder messages;
    CMazeBoard board;
    std::srand(3);
    board.NewGame();
    EXPECT_EQ(messages.Messages(),
              (std::vector<std::string>{
                  "Das Bild ist zu klein für seine Einzelbilder: 100 × 49 Pixel statt 100 × 50.",
                  "Die Datei \"Babyrobbe.bmp\" konnte nicht geladen werden!",
                  "Das Bild ist zu klein für seine Einzelbilder: 75 × 399 Pixel statt 75 × 400.",
                  "Die Datei \"Weg.bmp\" konnte nicht geladen werden!",
              }));
    EXPECT_FALSE(board.m_seal.HasImage());
    EXPECT_FALSE(board.m_cells[0].m_tile.HasImage());
    EXPECT_TRUE(board.m_bRunning);

    // The game goes on: the board is composed, ticked and hit-tested without a word, where a
    // frame beyond the picture's last row would be reported on every composition.
    messages.Clear();
    CDIB back;
    ASSERT_TRUE(back.CreateFilled(nullptr, 700, 500, RGB(1, 2, 3)));
    CSpriteList list;
    list.m_pBackground = &back;
    POSITION pos = board.m_boardSprites.GetHeadPosition();
    while (pos != nullptr) list.Insert(static_cast<CSprite*>(board.m_boardSprites.GetNext(pos)));
    board.Place(200);
    board.ShowBoard();
    for (int i = 0; i < 50; ++i) {
        board.Tick();
        list.Update(nullptr);
    }
    EXPECT_EQ(list.GetSpriteAt(212, 12), nullptr);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(PixelAt(back, 212, 12), RGB(1, 2, 3));
}

TEST(MazeBoardTest, PlaceLaysTheBoardBesideTheControlColumnAndShowBoardRaisesIt) {
    Game game(11);
    CMazeBoard& board = game.board;
    EXPECT_EQ(board.m_cells[0].m_tile.m_nX, 200);
    EXPECT_EQ(board.m_cells[0].m_tile.m_nY, 0);
    EXPECT_EQ(board.m_cells[399].m_tile.m_nX, 675);
    EXPECT_EQ(board.m_cells[399].m_tile.m_nY, 475);
    EXPECT_TRUE(SealStandsOn(board, 200));
    for (const MazeCell& cell : board.m_cells) ASSERT_EQ(cell.m_tile.m_nDepth, 80);
    EXPECT_EQ(board.m_seal.m_nDepth, 90);
    board.Place(0);
    EXPECT_EQ(board.m_cells[21].m_tile.m_nX, 25);
    EXPECT_EQ(board.m_cells[21].m_tile.m_nY, 25);
    EXPECT_TRUE(SealStandsOn(board, 0));
}

// ---------------------------------------------------------------------------------------------
// Whole games

TEST(MazeBoardTest, GuidanceAloneWalksTheShortestWayAndIsToldToLetTheChildPlay) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        Game game(seed);
        CMazeBoard& board = game.board;
        board.m_bHelp = true;
        const int ticks = 6 * board.m_nShortest;  // five moves and a standing tick per field
        game.Ticks(ticks - 1);
        EXPECT_TRUE(game.messages.Messages().empty()) << "arrived before the last standing tick";
        EXPECT_TRUE(board.m_bRunning);
        board.Tick();
        ASSERT_EQ(game.messages.Messages().size(), 1u);
        EXPECT_EQ(game.messages.Messages()[0], kOnlyHelp);
        EXPECT_EQ(board.m_nStepsHelp, board.m_nShortest);
        EXPECT_EQ(board.m_nStepsOwn, 0);
        EXPECT_FALSE(board.m_bRunning);
        EXPECT_EQ(board.m_seal.m_nDepth, 2);
        EXPECT_TRUE(SealStandsOn(board, 200));
    }
}

TEST(MazeBoardTest, KeysAlongAShortestWayEarnThePraise) {
    Game game(5);
    CMazeBoard& board = game.board;
    game.WalkHomeByKeys();
    // Standing on the family field after the last move: found only on the next tick.
    EXPECT_EQ(board.CellAt(board.m_nSealCol, board.m_nSealRow), board.m_pFamilyCell);
    EXPECT_EQ(maze::g_nSubStep, 0);
    EXPECT_TRUE(game.messages.Messages().empty());
    board.Tick();
    const int n = board.m_nShortest;
    ASSERT_EQ(game.messages.Messages().size(), 1u);
    EXPECT_EQ(game.messages.Messages()[0], kAloneOpening + Counts(n, 0, n) + kShortestEnding);
}

TEST(MazeBoardTest, KeysAlongALongerWayAreToldTheShortestLength) {
    Game game(6);
    CMazeBoard& board = game.board;
    const int away = game.OpenDirection();
    game.Press(away);  // there and back: two fields more than needed
    game.Ticks(1);
    game.Press(away ^ 1);
    game.Ticks(1);
    game.WalkHomeByKeys();
    board.Tick();
    const int n = board.m_nShortest;
    ASSERT_EQ(game.messages.Messages().size(), 1u);
    EXPECT_EQ(game.messages.Messages()[0],
              kAloneOpening + Counts(n + 2, 0, n + 2) + LongerEnding(n));
}

TEST(MazeBoardTest, StepsOfBothKindsAreCountedByHelpModeOnTheirFirstMove) {
    Game game(8);
    CMazeBoard& board = game.board;
    // A long maze, so that one step with help, one detour and the rest by keys fit.
    ASSERT_GE(board.m_nShortest, 3);
    board.m_bHelp = true;
    board.Tick();  // the guidance starts the first step and counts it
    board.m_bHelp = false;
    game.Ticks(5);
    EXPECT_EQ(board.m_nStepsHelp, 1);
    EXPECT_EQ(board.m_nStepsOwn, 0);
    const int away = game.OpenDirection();
    board.TryDirection(away);
    board.Tick();
    board.m_bHelp = true;  // switched on during an own step: it stays an own step
    game.Ticks(4);
    EXPECT_EQ(board.m_nStepsOwn, 1);
    board.m_bHelp = false;
    game.Ticks(1);
    game.Press(away ^ 1);
    game.Ticks(1);
    game.WalkHomeByKeys();
    board.Tick();
    const int n = board.m_nShortest;
    ASSERT_EQ(game.messages.Messages().size(), 1u);
    EXPECT_EQ(game.messages.Messages()[0],
              kHelpedOpening + Counts(n + 2, 1, n + 1) + LongerEnding(n));
}

TEST(MazeBoardTest, ResultTextsForEachCase) {
    Game game(9);
    CMazeBoard& board = game.board;
    const auto result = [&](int help, int own, int shortest) {
        game.messages.Clear();
        board.m_nStepsHelp = help;
        board.m_nStepsOwn = own;
        board.m_nShortest = shortest;
        board.ShowResult();
        return game.messages.Messages().at(0);
    };
    EXPECT_EQ(result(12, 0, 10), kOnlyHelp);
    EXPECT_EQ(result(0, 0, 10), kOnlyHelp);
    EXPECT_EQ(result(4, 6, 10), kHelpedOpening + Counts(10, 4, 6) + kShortestEnding);
    EXPECT_EQ(result(11, 1, 10), kHelpedOpening + Counts(12, 11, 1) + LongerEnding(10));
    EXPECT_EQ(result(0, 14, 10), kAloneOpening + Counts(14, 0, 14) + LongerEnding(10));
    EXPECT_EQ(board.m_seal.m_nDepth, 2);
}

// The result message in other languages: each way a game ends is one sentence of its own, with
// the counts in the plural forms of the language.
struct Translated {
    const char* language;
    std::string onlyHelp;
    std::string aloneOpening;
    std::string helpedOpening;
    std::string (*counts)(int total, int help, int own);
    std::string shortestEnding;
    std::string (*longerEnding)(int shortest);
};

std::string English(int n, const char* one, const char* many) {
    return std::to_string(n) + (n == 1 ? one : many);
}

const Translated kTranslated[] = {
    {"en", "\nThis isn't a screensaver! Go on, you can have a go yourself too.",
     "You brought the little seal back to its family!\n\n",
     "How lovely that you helped bring the seal back to its family.\n",
     [](int total, int help, int own) {
         return "It took you " + English(total, " step", " steps") +
                ".\nWith help: " + English(help, " step", " steps") +
                "\nAll by yourself: " + English(own, " step", " steps") + "\n";
     },
     "That was the shortest way! So the little seal still has enough strength\nto learn to swim "
     "one day!",
     [](int shortest) {
         return "The quickest way would have been " + English(shortest, " square", " squares") +
                " long.";
     }},
    // French counts 0 and 1 in the singular.
    {"fr", "\nCe n’est pas un économiseur d’écran ! Tu peux aussi jouer toi-même, tu sais.",
     "Tu as ramené le petit phoque auprès de sa famille !\n\n",
     "C’est chouette, tu as aidé à ramener le phoque auprès de sa famille.\n",
     [](int total, int help, int own) {
         return "Il t’a fallu " + std::to_string(total) +
                " pas.\nAvec de l’aide : " + std::to_string(help) +
                " pas\nTout seul : " + std::to_string(own) + " pas\n";
     },
     "C’était le chemin le plus court ! Le petit phoque a donc encore assez de forces\npour "
     "apprendre enfin à nager un jour !",
     [](int shortest) {
         return "Le chemin le plus rapide aurait fait " + std::to_string(shortest) +
                (shortest > 1 ? " cases." : " case.");
     }},
};

void PrintTo(const Translated& translated, std::ostream* out) {
    *out << translated.language;
}

class TranslatedResultTest : public ::testing::TestWithParam<Translated> {
protected:
    void SetUp() override { lang::Use(GetParam().language, FLOEMAZE_CATALOGUE_DIR); }
    void TearDown() override { lang::Use(lang::kGerman, FLOEMAZE_CATALOGUE_DIR); }
};

TEST_P(TranslatedResultTest, EveryWayAGameEndsIsOneSentenceWithItsCounts) {
    const Translated& t = GetParam();
    const auto arrive = [](Game& game) {
        game.board.Tick();
        return game.messages.Messages().size() == 1 ? game.messages.Messages()[0] : "";
    };
    {
        Game game(1);
        game.board.m_bHelp = true;
        game.Ticks(6 * game.board.m_nShortest - 1);
        EXPECT_EQ(arrive(game), t.onlyHelp);
    }
    // On one's own along a shortest way and with a detour; then one step with help first.
    for (const bool helped : {false, true}) {
        for (const bool detour : {false, true}) {
            Game game(8);
            if (helped) {
                game.board.m_bHelp = true;
                game.board.Tick();
                game.board.m_bHelp = false;
                game.Ticks(6);
            }
            if (detour) game.Detour();
            game.WalkHomeByKeys();
            const int n = game.board.m_nShortest;
            const int help = helped ? 1 : 0;
            const int own = n - help + (detour ? 2 : 0);
            EXPECT_EQ(arrive(game), (helped ? t.helpedOpening : t.aloneOpening) +
                                        t.counts(own + help, help, own) +
                                        (detour ? t.longerEnding(n) : t.shortestEnding));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslatedResultTest, ::testing::ValuesIn(kTranslated),
                         [](const auto& info) { return std::string(info.param.language); });

TEST(MazeBoardTest, ALanguageWithoutCatalogueShowsTheGermanTexts) {
    lang::Environment swedish;
    swedish.lang = "sv_SE.UTF-8";
    lang::Use(lang::Choose("", swedish, FLOEMAZE_CATALOGUE_DIR), FLOEMAZE_CATALOGUE_DIR);
    Game game(9);
    game.board.m_nStepsHelp = 0;
    game.board.m_nStepsOwn = 14;
    game.board.m_nShortest = 10;
    game.board.ShowResult();
    EXPECT_EQ(lang::Current(), lang::kGerman);
    EXPECT_EQ(game.messages.Messages().at(0), kAloneOpening + Counts(14, 0, 14) + LongerEnding(10));
}

// ---------------------------------------------------------------------------------------------
// Keys, help and the walk

TEST(MazeBoardTest, KeysDuringAStepTowardsWallsAndOverTheBorderChangeNothing) {
    Game game(0);
    CMazeBoard& board = game.board;
    game.Draw(
        "F..................S\n"
        "###################.\n"
        "###################.\n");
    board.TryDirection(kUp);     // over the top edge
    board.TryDirection(kRight);  // over the right edge
    EXPECT_EQ(board.m_nDirection, kStand);
    board.TryDirection(kLeft);
    EXPECT_EQ(board.m_nDirection, kLeft);
    board.Tick();
    board.TryDirection(kDown);  // during the step: dropped, not queued
    EXPECT_EQ(board.m_nDirection, kLeft);
    game.Ticks(5);
    EXPECT_EQ(board.m_nSealCol, 18);
    EXPECT_TRUE(SealStandsOn(board, 200));
    EXPECT_EQ(board.m_nStepsOwn, 1);
    board.TryDirection(kDown);  // towards a wall
    EXPECT_EQ(board.m_nDirection, kStand);
    // A direction written past TryDirection does not walk the seal into a wall or off the grid.
    board.m_nDirection = kUp;
    game.Ticks(6);
    EXPECT_TRUE(SealStandsOn(board, 200));
    EXPECT_EQ(board.m_nSealRow, 0);
    EXPECT_EQ(board.m_nStepsOwn, 1);
}

TEST(MazeBoardTest, SealFramesAlternateUpDownLeftAndFollowTheTickCounterRight) {
    Game game(0);
    CMazeBoard& board = game.board;
    game.Draw(
        "F..S................\n"
        "###.################\n");
    board.m_nSealAnim = 4;
    board.TryDirection(kLeft);
    std::vector<int> rows;
    for (int i = 0; i < 5; ++i) {
        board.Tick();
        EXPECT_EQ(board.m_seal.m_nFrameCol, kLeft);
        rows.push_back(board.m_seal.m_nFrameRow);
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 0, 1, 0}));
    EXPECT_EQ(board.m_nSealAnim, 9);
    board.Tick();
    maze::g_nTickCount = 2;
    board.TryDirection(kRight);
    rows.clear();
    for (int i = 0; i < 5; ++i) {
        board.Tick();
        rows.push_back(board.m_seal.m_nFrameRow);
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 1, 1, 0}));  // tick counter 2..6 divided by 3
    EXPECT_EQ(board.m_seal.m_nFrameCol, kRight);
    EXPECT_EQ(board.m_nSealAnim, 9);
}

TEST(MazeBoardTest, GuidanceOverridesKeysPrefersTheFirstOfEqualsAndWaitsForAField) {
    Game game(0);
    CMazeBoard& board = game.board;
    game.Draw(
        "F.##################\n"
        "..S.................\n"
        "###################.\n");
    board.m_bHelp = true;
    board.TryDirection(kRight);  // away from home
    board.Tick();
    EXPECT_EQ(board.m_nDirection, kLeft);
    EXPECT_EQ(board.m_nStepsHelp, 1);
    game.Ticks(5);
    // Up and left are both one field from home: up comes first.
    board.ChooseHintDirection();
    EXPECT_EQ(board.m_nDirection, kUp);

    game.Draw(
        "S.##################\n"
        ".F##################\n");
    board.m_nSealRow = 0;
    board.m_nSealCol = 0;
    board.ChooseHintDirection();
    EXPECT_EQ(board.m_nDirection, kDown);  // down before right
    board.m_nDirection = kRight;
    board.m_nSealCol = board.m_nSealRow = 1;  // home: the direction stays
    board.ChooseHintDirection();
    EXPECT_EQ(board.m_nDirection, kRight);

    board.m_nSealCol = board.m_nSealRow = 0;
    board.m_nDirection = kStand;
    board.m_seal.MoveTo(205, 0);  // between two fields
    board.HelpStep();
    EXPECT_EQ(board.m_nDirection, kStand);
}

TEST(MazeBoardTest, PlaceDuringAStepLeavesTheSealStandingWithTheStepCountedOnce) {
    Game game(12);
    CMazeBoard& board = game.board;
    const int col = board.m_nSealCol, row = board.m_nSealRow;
    const int d = game.HomeDirection();
    board.TryDirection(d);
    game.Ticks(2);
    board.Place(0);  // the options panel moves the control column to the other side
    EXPECT_EQ(board.m_nSealCol, col + kColumnStep[d]);
    EXPECT_EQ(board.m_nSealRow, row + kRowStep[d]);
    EXPECT_TRUE(SealStandsOn(board, 0));
    EXPECT_EQ(board.m_nStepsOwn, 1);
    game.Ticks(6);  // nothing left of the old step
    EXPECT_TRUE(SealStandsOn(board, 0));
    EXPECT_EQ(board.m_nStepsOwn, 1);
    // A direction chosen but not yet walked survives a Place.
    board.TryDirection(game.HomeDirection());
    board.Place(200);
    EXPECT_NE(board.m_nDirection, kStand);
    game.WalkHomeByKeys();
    board.Tick();
    EXPECT_EQ(board.m_nStepsOwn, board.m_nShortest);
    EXPECT_EQ(game.messages.Messages().size(), 1u);
}

TEST(MazeBoardTest, PlaceOnTheFamilyFieldDuringTheLastStepEndsTheGameOnce) {
    Game game(0);
    CMazeBoard& board = game.board;
    game.Draw(
        "FS##################\n"
        "####################\n");
    board.TryDirection(kLeft);
    game.Ticks(3);
    board.Place(200);
    board.TryDirection(kRight);  // accepted: the seal stands, but the game is over first
    board.Tick();
    ASSERT_EQ(game.messages.Messages().size(), 1u);
    EXPECT_TRUE(SealStandsOn(board, 200));
    EXPECT_EQ(board.m_nSealCol, 0);
    EXPECT_EQ(board.m_nStepsOwn, 1);
}

TEST(MazeBoardTest, NewGameStartsWithTheSealStandingWhateverWentBefore) {
    Game game(13);
    CMazeBoard& board = game.board;
    board.TryDirection(game.OpenDirection());
    game.Ticks(3);  // in the middle of a step
    std::srand(14);
    board.NewGame();
    board.Place(200);
    board.ShowBoard();
    EXPECT_TRUE(SealStandsOn(board, 200));
    EXPECT_EQ(board.m_nStepsOwn + board.m_nStepsHelp, 0);
    const int x = board.m_seal.m_nX, y = board.m_seal.m_nY;
    game.Ticks(12);
    EXPECT_EQ(board.m_seal.m_nX, x);
    EXPECT_EQ(board.m_seal.m_nY, y);

    // A key between games is taken, but no tick walks it, and the next game does not inherit it.
    game.WalkHomeByKeys();
    board.Tick();
    ASSERT_FALSE(board.m_bRunning);
    const int back = game.OpenDirection();
    board.TryDirection(back);
    EXPECT_EQ(board.m_nDirection, back);
    game.Ticks(6);
    EXPECT_EQ(board.CellAt(board.m_nSealCol, board.m_nSealRow), board.m_pFamilyCell);
    std::srand(15);
    board.NewGame();
    board.Place(200);
    board.ShowBoard();
    EXPECT_TRUE(SealStandsOn(board, 200));
    const int col = board.m_nSealCol, row = board.m_nSealRow;
    game.Ticks(6);
    EXPECT_EQ(board.m_nSealCol, col);
    EXPECT_EQ(board.m_nSealRow, row);
    EXPECT_EQ(board.m_nStepsOwn, 0);

    // A game walked home with help leaves no help steps, and no help, to the next.
    board.m_bHelp = true;
    game.Ticks(6 * board.m_nShortest);
    ASSERT_FALSE(board.m_bRunning);
    ASSERT_EQ(board.m_nStepsHelp, board.m_nShortest);
    std::srand(17);
    board.NewGame();
    EXPECT_EQ(board.m_nStepsHelp, 0);
    EXPECT_EQ(board.m_nStepsOwn, 0);
    EXPECT_FALSE(board.m_bHelp);
}

// ---------------------------------------------------------------------------------------------
// End of a game and the animations

TEST(MazeBoardTest, TicksDuringTheResultMessageLetTheTilesFallWithoutASecondArrival) {
    Game game(16);
    CMazeBoard& board = game.board;
    std::vector<std::string> shown;
    std::vector<int> depthsAfter80;
    int nested = 0;
    // The platform's modal loop goes on delivering the 40 ms timer while the box is open.
    platform::SetMessageBoxHandler([&](const std::string& text, unsigned) {
        shown.push_back(text);
        for (int i = 0; i < 80; ++i, ++nested) board.Tick();
        for (const MazeCell& cell : board.m_cells) depthsAfter80.push_back(cell.m_tile.m_nDepth);
        for (int i = 0; i < 5; ++i, ++nested) board.Tick();
        return IDOK;
    });
    board.m_bHelp = true;
    game.Ticks(6 * board.m_nShortest);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(nested, 85);
    // 80 falling ticks carry every tile 1106 pixels down and let it drift sideways; the tiles
    // stay in front until the tick after them.
    for (int i = 0; i < 400; ++i) {
        const CSprite& tile = board.m_cells[static_cast<std::size_t>(i)].m_tile;
        EXPECT_EQ(depthsAfter80[static_cast<std::size_t>(i)], 80);
        EXPECT_EQ(tile.m_nDepth, 1);
        EXPECT_EQ(tile.m_nY, (i % 20) * 25 + 1106);
        EXPECT_GE(tile.m_nX, 200 + (i / 20) * 25 - 5 * 80);
        EXPECT_LE(tile.m_nX, 200 + (i / 20) * 25 + 4 * 80);
    }
    EXPECT_FALSE(board.m_bRunning);
    EXPECT_TRUE(SealStandsOn(board, 200));
    game.Ticks(10);
    EXPECT_EQ(shown.size(), 1u);
    platform::SetMessageBoxHandler({});
}

// What a tick should do to the tiles, computed from the same draws: the fall (if c < 80) and the
// five flicker tries.
struct ExpectedTiles {
    std::array<int, 400> x{}, y{}, frameCol{}, frameRow{};
    int nextDraw = 0;

    ExpectedTiles(const CMazeBoard& board, unsigned seed, bool falling) {
        for (std::size_t i = 0; i < 400; ++i) {
            x[i] = board.m_cells[i].m_tile.m_nX;
            y[i] = board.m_cells[i].m_tile.m_nY;
            frameCol[i] = board.m_cells[i].m_tile.m_nFrameCol;
            frameRow[i] = board.m_cells[i].m_tile.m_nFrameRow;
        }
        std::srand(seed);
        const int c = maze::g_nFallCount;
        if (falling && c < 80) {
            for (std::size_t i = 0; i < 400; ++i) {
                x[i] += std::rand() % 10 - 5;
                y[i] += c - 2 * (c / 3);
            }
        }
        for (int t = 0; t < 5; ++t) {
            const int col = std::rand() % 20;
            const int row = std::rand() % 20;
            const auto i = static_cast<std::size_t>(col * 20 + row);
            if (board.m_cells[i].m_bOpen == 1) continue;
            frameCol[i] = 1;
            frameRow[i] = std::rand() % 16;
        }
        nextDraw = std::rand();
    }
    void Check(const CMazeBoard& board) const {
        for (std::size_t i = 0; i < 400; ++i) {
            const CSprite& tile = board.m_cells[i].m_tile;
            ASSERT_EQ(tile.m_nX, x[i]) << i;
            ASSERT_EQ(tile.m_nY, y[i]) << i;
            ASSERT_EQ(tile.m_nFrameCol, frameCol[i]) << i;
            ASSERT_EQ(tile.m_nFrameRow, frameRow[i]) << i;
        }
        EXPECT_EQ(std::rand(), nextDraw);
    }
};

TEST(MazeBoardTest, TicksDrawForTheFallAndTheFlickerInTheDescribedOrder) {
    Game game(17);
    CMazeBoard& board = game.board;
    // While the game runs and the seal stands: only the flicker draws, two or three per try.
    for (unsigned seed = 100; seed < 120; ++seed) {
        const ExpectedTiles expected(board, seed, false);
        std::srand(seed);
        board.Tick();
        expected.Check(board);
    }
    EXPECT_EQ(maze::g_nFallCount, 0);
    board.m_bHelp = true;
    game.Ticks(6 * board.m_nShortest);
    ASSERT_FALSE(board.m_bRunning);
    const int fallen = maze::g_nFallCount;
    EXPECT_EQ(fallen, 1);  // the arrival tick itself lets the tiles fall once
    for (unsigned seed = 200; seed < 290; ++seed) {
        const ExpectedTiles expected(board, seed, true);
        std::srand(seed);
        board.Tick();
        expected.Check(board);
    }
    EXPECT_EQ(maze::g_nFallCount, 80);
    for (const MazeCell& cell : board.m_cells) ASSERT_EQ(cell.m_tile.m_nDepth, 1);
    // A new game puts the tiles back; its first tick ends the fall.
    std::srand(18);
    board.NewGame();
    board.Place(200);
    board.ShowBoard();
    EXPECT_EQ(board.m_cells[0].m_tile.m_nY, 0);
    board.Tick();
    EXPECT_EQ(maze::g_nFallCount, 0);
}

}  // namespace
