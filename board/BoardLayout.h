#pragma once

// Where a board sits in a client area: whole cells, centred.
struct BoardLayout {
    int cellSize = 1;
    int cols = 0;
    int rows = 0;
    int offsetX = 0;
    int offsetY = 0;
};

// The cell size is brought within 1..maxCellSize and the grid within the
// board's capacity (still centred); fewer than two cells give an empty grid.
BoardLayout LayOutBoard(int width, int height, int cellSize, int maxCellSize);

// A board's cell size in pixels: the CellSize setting, meant at 96 DPI,
// scaled to the DPI of the board's display and kept within
// 1..kMaxCellPixels. An unusable DPI counts as 96.
int CellPixels(int cellSize, int dpi);
