#include "image/PieceLayout.h"

#include "image/ImageRefusal.h"

int PieceImageFrames(int width, int height)
{
    if (height != kPieceImageHeight || width < kPieceCell || width % kPieceCell != 0)
        return 0;
    return width / kPieceCell;
}

int PieceImageFrames(int width, int height, ImageRefusal& refusal)
{
    const int frames = PieceImageFrames(width, height);
    if (frames < 1) {
        refusal.fault = ImageFault::PieceGrid;
        refusal.width = width;
        refusal.height = height;
    }
    return frames;
}

int SlotImageRow(int slot)
{
    return slot <= 0 ? 0 : 2 * slot - 1;
}

int PieceRowBottom(int row)
{
    return kPieceImageHeight - kPieceCell - kPieceCell * row;
}
