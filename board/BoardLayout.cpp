#include "board/BoardLayout.h"

#include "board/Board.h"
#include "base/Dpi.h"
#include "image/PieceLayout.h"

#include <algorithm>

BoardLayout LayOutBoard(int width, int height, int cellSize, int maxCellSize)
{
    BoardLayout layout;
    layout.cellSize = std::clamp(cellSize, 1, std::max(maxCellSize, 1));
    width = std::max(width, 0);
    height = std::max(height, 0);
    layout.cols = std::min(width / layout.cellSize, Board::kMaxCols);
    layout.rows = std::min(height / layout.cellSize, Board::kMaxRows);
    if (layout.cols * layout.rows < 2) {
        layout.cols = 0;
        layout.rows = 0;
    }
    layout.offsetX = (width - layout.cols * layout.cellSize) / 2;
    layout.offsetY = (height - layout.rows * layout.cellSize) / 2;
    return layout;
}

int CellPixels(int cellSize, int dpi)
{
    return std::clamp(ScaleToDpi(cellSize, dpi), 1, kMaxCellPixels);
}
