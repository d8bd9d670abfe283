// SPDX-License-Identifier: GPL-3.0-or-later
// CMazeBoard: one maze game of 20 × 20 fields — generation, tile pictures, distances, the seal's
// walk with its step counting, the guidance of help mode, the result message and the board's
// animations.
#pragma once

#include <array>

#include "platform/Types.h"
#include "res/Pictures.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteList.h"

/// One field of the grid: open (a passage the seal can stand on) or a wall, with its tile.
struct MazeCell {
    BYTE m_bOpen = 0;  ///< 1 = open field, 0 = wall; every test for an open field compares with 1
    CSprite m_tile;    ///< the field's tile: a copy of the tile template, frames of 25 × 25
    int m_nCol = 0;    ///< column 0..19, left to right
    int m_nRow = 0;    ///< row 0..19, top to bottom
    int m_nDistance = -1;  ///< way length in fields from the family field; −1 for walls and before
                           ///< the distance map is built
};

/// Direction codes of the seal's walk, held in m_nDirection; a step's code is also the seal's
/// frame column.
namespace direction {
inline constexpr int kUp = 0;     ///< row − 1
inline constexpr int kDown = 1;   ///< row + 1
inline constexpr int kLeft = 2;   ///< column − 1
inline constexpr int kRight = 3;  ///< column + 1
inline constexpr int kStand = 6;  ///< no step under way
}  // namespace direction

namespace maze {
/// Loads picture into sprite with the table's colour key and frame size. When the file cannot be
/// loaded or is too small for its frames (the reason shown first), shows the picture's message,
/// writes the full path that was tried to standard error and returns false; the sprite then draws
/// nothing: a frame outside the image could neither be drawn nor hit-tested, and every
/// composition would report it anew.
bool LoadPicture(CSprite& sprite, res::Picture picture);

/// The walk's counters. They live as long as the program and belong to no board.
extern int g_nSubStep;    ///< moves still to come in the current step; 5 while none is under way
extern int g_nTickCount;  ///< ticks of a running game that may move the seal; drives frames right
extern int g_nFallCount;  ///< falling ticks since the game ended; 0 while a game runs
}  // namespace maze

/// The maze model. The board owns its 400 tiles, the seal and the tile template; m_boardSprites
/// only collects pointers to the seal and the tiles, so the game window can insert them into its
/// own sprite list, where they stay for the rest of the program. The board therefore must outlive
/// that list's use of them and is neither copied nor moved.
///
/// Directions are the codes of namespace direction. The grid is stored column by column: field (c,
/// r) is m_cells[c * 20 + r]; outside the grid counts as a wall.
///
/// After NewGame: every open field is reachable from the family field and has its shortest way
/// length there as m_nDistance; the family field lies on the border; the seal stands on an open
/// field other than the family field, and m_nShortest ≥ 1.
class CMazeBoard {
public:
    static constexpr int kSize = 20;   ///< fields per row and per column
    static constexpr int kField = 25;  ///< pixels per field
    static constexpr int kMovesPerStep = 5;

    /// Seeds the random generator with the time and turns the seal to a random direction.
    CMazeBoard();
    ~CMazeBoard() = default;
    CMazeBoard(const CMazeBoard&) = delete;
    CMazeBoard& operator=(const CMazeBoard&) = delete;

    // Generation.
    /// Starts a new game on a fresh maze. The first call loads "Babyrobbe.bmp" and "Weg.bmp" from
    /// the current directory (a failure is reported and the game goes on) and builds the tiles.
    /// Leaves every tile on the grid at offset 0 and the board unseen (depths 1 and 2); the seal
    /// stands (direction 6) until Place puts it on its start field.
    void NewGame();
    /// Carves a new maze into an all-wall grid and measures its distances.
    void Generate();
    /// Randomized depth-first carving from cell at the given depth.
    void Carve(MazeCell* cell, int depth);
    /// Number of open neighbours of cell (0..4); also sets m_bOpenNeighbour.
    int CountOpenNeighbours(const MazeCell* cell);
    /// Gives every tile its picture: a passage piece by its open neighbours, or a random wall.
    void ChooseTiles();
    /// Sets every open field's way length from cell, which lies length fields from the family.
    void FillDistances(MazeCell* cell, int length);

    // Guidance and result.
    /// In help mode: turns the seal towards the family while it stands exactly on a field.
    void HelpStep();
    /// Sets m_nDirection towards the neighbour nearest to the family (first of equals in the order
    /// up, down, left, right); unchanged on the family field.
    void ChooseHintDirection();
    /// Hides the seal and tells the steps taken in a modal message box.
    void ShowResult();

    // Placement and the walk.
    /// Lays the board out with its left edge at x0 (200 or 0) and puts the seal on its field. A
    /// step under way ends at once: the seal stands on the field it was moving into, which it has
    /// already counted.
    void Place(int x0);
    /// Raises the tiles to depth 80 and the seal to 90, in front of the background.
    void ShowBoard();
    /// Starts a step in direction d (up to right) if the seal stands and that neighbour is open.
    void TryDirection(int d);
    /// One 40 ms tick: arrival, the seal's walk, the falling tiles after a game, the wall flicker.
    void Tick();

    /// The field at (col, row), or null outside the grid.
    MazeCell* CellAt(int col, int row);
    const MazeCell* CellAt(int col, int row) const;
    /// The neighbour of cell in direction d (up to right), or null outside the grid.
    MazeCell* Neighbour(const MazeCell* cell, int d);

    std::array<MazeCell, kSize * kSize> m_cells;  ///< field (c, r) is element c * 20 + r
    CSprite m_seal;      ///< "Babyrobbe.bmp": frame column = direction, frame row = walking phase
    int m_nSealCol = 0;  ///< the seal's field; during a step already the one it moves into
    int m_nSealRow = 0;
    int m_nSealAnim = 0;     ///< counts moves up, down and left; its parity is their frame row
    CSprite m_tileTemplate;  ///< "Weg.bmp", shared by all tiles; never in a sprite list
    MazeCell* m_pFamilyCell = nullptr;  ///< the family field: where carving began, the goal
    BYTE m_bOpenNeighbour[4] = {};      ///< by direction: open neighbours of the field counted last
    int m_nMaxDepth = 0;                ///< deepest carving depth so far (generation only)
    int m_nShortest = 0;  ///< fields on the shortest way from the seal's start to its family
    int m_nDirection = direction::kStand;  ///< direction of the step under way, or kStand
    int m_nStepsOwn = 0;                   ///< fields walked in this game without help
    int m_nStepsHelp = 0;                  ///< fields walked in this game in help mode
    CSpriteList m_boardSprites;  ///< the seal and the 400 tiles; no background, never composes
    bool m_bFirstGame = true;    ///< until the first NewGame has loaded the images
    bool m_bHelp = false;        ///< help mode: the seal walks the shortest way by itself
    bool m_bRunning = false;     ///< a game is in progress: the seal is not yet home

    /// Logical calls of FillDistances (the continuation to the right included) in the last
    /// Generate; kept to prove that loops in the maze do not make the distance map expensive.
    int m_nFillCalls = 0;

private:
    bool StepTargetOpen(int d) const;
    void Fall();
    void FlickerWalls();
};
