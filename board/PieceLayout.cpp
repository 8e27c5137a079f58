#include "board/PieceLayout.h"

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

std::uint32_t BlackOutInterval(int minutes, std::uint32_t msPerMinute)
{
    if (minutes <= 0)
        return 0;
    const std::uint64_t ms = static_cast<std::uint64_t>(minutes) * msPerMinute;
    return ms > kMaxTimerInterval ? kMaxTimerInterval : static_cast<std::uint32_t>(ms);
}
