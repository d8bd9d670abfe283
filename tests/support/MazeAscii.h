// SPDX-License-Identifier: GPL-3.0-or-later
// Mazes as text, so tests can draw the maze they need and print the one they got. One line per
// row, row 0 first, one character per column: '#' wall, '.' open, 'F' the family field and 'S' the
// seal's field (both open).
#pragma once

#include <array>
#include <deque>
#include <string>
#include <string_view>

#include "maze/MazeBoard.h"

/// Replaces the board's grid with art (20 lines of 20 characters; blanks at the start of a line
/// are ignored, fields art leaves out are walls): sets every field's place and wall flag, clears
/// the distances and puts the family field and the seal where art shows them. Tiles and counters
/// stay as they are.
inline void SetMaze(CMazeBoard& board, std::string_view art) {
    for (int c = 0; c < CMazeBoard::kSize; ++c) {
        for (int r = 0; r < CMazeBoard::kSize; ++r) {
            MazeCell* cell = board.CellAt(c, r);
            cell->m_nCol = c;
            cell->m_nRow = r;
            cell->m_bOpen = 0;
            cell->m_nDistance = -1;
        }
    }
    int row = 0;
    int col = 0;
    for (const char ch : art) {
        if (ch == '\n') {
            if (col > 0) ++row;
            col = 0;
            continue;
        }
        if (ch == ' ' && col == 0) continue;
        MazeCell* cell = board.CellAt(col, row);
        if (cell == nullptr) continue;
        cell->m_bOpen = ch == '#' ? 0 : 1;
        cell->m_nDistance = -1;
        if (ch == 'F') board.m_pFamilyCell = cell;
        if (ch == 'S') {
            board.m_nSealCol = col;
            board.m_nSealRow = row;
        }
        ++col;
    }
}

/// The board's grid in the notation of SetMaze, for failure messages.
inline std::string MazeAscii(const CMazeBoard& board) {
    std::string art;
    for (int row = 0; row < CMazeBoard::kSize; ++row) {
        for (int col = 0; col < CMazeBoard::kSize; ++col) {
            const MazeCell* cell = board.CellAt(col, row);
            char ch = cell->m_bOpen == 1 ? '.' : '#';
            if (cell == board.m_pFamilyCell) ch = 'F';
            if (col == board.m_nSealCol && row == board.m_nSealRow) ch = 'S';
            art += ch;
        }
        art += '\n';
    }
    return art;
}

/// Breadth-first way lengths from the family field through open fields, element c * 20 + r;
/// −1 where it cannot be reached.
inline std::array<int, 400> BfsDistances(const CMazeBoard& board) {
    std::array<int, 400> distance;
    distance.fill(-1);
    if (board.m_pFamilyCell == nullptr) return distance;
    std::deque<const MazeCell*> queue{board.m_pFamilyCell};
    distance[static_cast<std::size_t>(board.m_pFamilyCell->m_nCol * 20 +
                                      board.m_pFamilyCell->m_nRow)] = 0;
    while (!queue.empty()) {
        const MazeCell* cell = queue.front();
        queue.pop_front();
        const int here = distance[static_cast<std::size_t>(cell->m_nCol * 20 + cell->m_nRow)];
        const int steps[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& step : steps) {
            const MazeCell* next = board.CellAt(cell->m_nCol + step[0], cell->m_nRow + step[1]);
            if (next == nullptr || next->m_bOpen != 1) continue;
            int& d = distance[static_cast<std::size_t>(next->m_nCol * 20 + next->m_nRow)];
            if (d != -1) continue;
            d = here + 1;
            queue.push_back(next);
        }
    }
    return distance;
}
