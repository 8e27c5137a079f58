#include "settings/DialogValues.h"

#include "base/Dpi.h"
#include "base/ValueForms.h"

#include "res/SettingsIds.h"
#include "settings/SettingsStore.h"

#include <algorithm>

const ScrollRule kSettingsScroll{1, 200, 0, 200};
const ScrollRule kColourScroll{0, 255, 0, 255};

int ScrollStep(const ScrollRule& rule, int code, int pos, int thumb)
{
    // In 64 bits: a position near the int limits must not wrap on a step.
    long long next = pos;
    switch (code) {
    case kScrollLineLeft:
        next = static_cast<long long>(pos) - 1;
        break;
    case kScrollLineRight:
        next = static_cast<long long>(pos) + 1;
        break;
    case kScrollPageLeft:
        next = static_cast<long long>(pos) - 10;
        break;
    case kScrollPageRight:
        next = static_cast<long long>(pos) + 10;
        break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
        next = thumb;
        break;
    case kScrollLeft:
        next = rule.home;
        break;
    case kScrollRight:
        next = rule.end;
        break;
    default:
        break;
    }
    return static_cast<int>(std::clamp<long long>(next, rule.low, rule.high));
}

int ClampToRange(int pos, int low, int high)
{
    if (low > high)
        std::swap(low, high);
    return std::clamp(pos, low, high);
}

int SizeButton(int cellSize)
{
    switch (cellSize) {
    case 32:
        return IDC_SIZE_1;
    case 64:
        return IDC_SIZE_2;
    case 96:
        return IDC_SIZE_3;
    default:
        return IDC_SIZE_4;
    }
}

int PatternButton(int cellArr)
{
    switch (cellArr) {
    case 1:
        return IDC_PATTERN_RANDOM;
    case 2:
        return IDC_PATTERN_LINE;
    case 3:
        return IDC_PATTERN_SQUARE;
    case 4:
        return IDC_PATTERN_HLINE;
    default:
        return IDC_PATTERN_VLINE;
    }
}

int NumberButton(int cellNo)
{
    switch (cellNo) {
    case 3:
        return IDC_NUMBER_3;
    case 4:
        return IDC_NUMBER_4;
    default:
        return IDC_NUMBER_5;
    }
}

int CellSizeOf(int button)
{
    switch (button) {
    case IDC_SIZE_1:
        return 32;
    case IDC_SIZE_2:
        return 64;
    case IDC_SIZE_3:
        return 96;
    case IDC_SIZE_4:
        return 128;
    default:
        return 0;
    }
}

int CellArrOf(int button)
{
    switch (button) {
    case IDC_PATTERN_RANDOM:
        return 1;
    case IDC_PATTERN_LINE:
        return 2;
    case IDC_PATTERN_SQUARE:
        return 3;
    case IDC_PATTERN_HLINE:
        return 4;
    case IDC_PATTERN_VLINE:
        return 5;
    default:
        return 0;
    }
}

int CellNoOf(int button)
{
    switch (button) {
    case IDC_NUMBER_3:
        return 3;
    case IDC_NUMBER_4:
        return 4;
    case IDC_NUMBER_5:
        return 5;
    default:
        return 0;
    }
}

int PreviewCellSize(int cellSize)
{
    const long long size = static_cast<long long>(cellSize) * 12 / 32 + 12;
    return static_cast<int>(std::clamp<long long>(size, 12, 128));
}

std::uint32_t ColourOf(int red, int green, int blue)
{
    const auto part = [](int value) { return static_cast<std::uint32_t>(std::clamp(value, 0, 255)); };
    return part(red) + 256u * part(green) + 65536u * part(blue);
}

ColourParts PartsOf(std::uint32_t colour)
{
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

int LimitBlackOutTime(int blackOutTime, long lowPowerMinutes)
{
    if (lowPowerMinutes > 0 && blackOutTime > lowPowerMinutes)
        return static_cast<int>(lowPowerMinutes);
    return blackOutTime;
}

int NextImageIndex(int imageIndex)
{
    const int next = (imageIndex + 1) % kImageBoxCount;
    return next < 0 ? next + kImageBoxCount : next;
}

CellOrigin ImageBoxCell(int imageIndex)
{
    int index = imageIndex % kImageBoxCount;
    if (index < 0)
        index += kImageBoxCount;
    return {32 * (index % 2), 288 - 64 * (index / 2)};
}

ColourAreas ColourDialogAreas(const AreaRect& sample, int dpi)
{
    const int gap = ScaleToDpi(10, dpi);
    const int box = ScaleToDpi(64, dpi);
    const int first = sample.right + gap;
    return {sample,
            {first, sample.top, first + box, sample.top + box},
            {first + box, sample.top, first + 2 * box, sample.top + box},
            {first, sample.top, first + 2 * box, sample.top + box}};
}

const char kDefaultBitmapName[] = "velomass.bmp";

void ReadDialogSettings(Settings& settings, std::string& bcColText, RegistryRoot& registry)
{
    ReadStoredSettings(settings, bcColText, registry);
    settings.BlackOutTime = LimitBlackOutTime(settings.BlackOutTime, ReadDesktopValues(registry).LowPowerMinutes);
    settings.PassWord.clear();
}

std::string SavedColourText(const std::string& storedText, std::uint32_t storedColour, std::uint32_t colour)
{
    return colour == storedColour ? storedText : LongToHex(colour);
}

BitmapFound FindDialogBitmap(std::string& bitmap, FileSystem& files)
{
    if (FileExists(files, bitmap))
        return BitmapFound::Stored;
    const bool ours = IsDefaultBitmap(bitmap);
    bitmap = DefaultBitmapPath(files);
    if (FileExists(files, bitmap))
        return BitmapFound::Default;
    // The board finds our image for the bare name; an image the user chose
    // is not replaced without a word.
    bitmap = kDefaultBitmapName;
    return ours ? BitmapFound::Ours : BitmapFound::Missing;
}
