#include "image/PieceLayout.h"

int PieceImageFrames(int width, int height)
{
    if (height != kPieceImageHeight || width < kPieceCell || width % kPieceCell != 0)
        return 0;
    return width / kPieceCell;
}

int SlotImageRow(int slot)
{
    return slot <= 0 ? 0 : 2 * slot - 1;
}

int PieceRowBottom(int row)
{
    return kPieceImageHeight - kPieceCell - kPieceCell * row;
}
