#pragma once
#include <cstdint>
#include <string>

// Why a piece image was refused, with the numbers that tell it. The values
// are stable: the Win32 layer numbers its reason strings after them.
enum class ImageFault : int {
    None = 0,
    CannotOpen = 1,   // the file is missing, locked or a folder
    NotBitmap = 2,    // no "BM" file header
    Truncated = 3,    // the file ends before what its headers promise
    HeaderSize = 4,   // an information header of a size that is not read
    BitCount = 5,     // bits per pixel drawing does not take
    Compression = 6,  // an encoding drawing does not take with this bit count
    Dimensions = 7,   // a width or height no bitmap can have
    ColourTable = 8,  // more than 256 colour entries
    PixelsShort = 9,  // the pixel data holds less than the rows need
    OutOfMemory = 10,
    PieceGrid = 11,   // a bitmap, but not 352 high and whole 32-pixel cells wide
};
constexpr int kImageFaultCount = 12;

struct ImageRefusal {
    ImageFault fault = ImageFault::None;
    std::uint32_t headerSize = 0;
    std::uint32_t compression = 0;
    std::uint32_t bitCount = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // as stored: negative for top-down rows
    std::uint64_t colours = 0;
    std::uint64_t have = 0;  // bytes there are (pixels, or the whole file when cut)
    std::uint64_t need = 0;  // bytes wanted
};

// The reason in one line: `form` with {header}, {compression}, {bits},
// {width}, {height}, {colours}, {have} and {need} filled in. A compression
// is given by number and name: "4 (JPEG)".
std::string RefusalText(const ImageRefusal& refusal, const std::string& form);

// The English form for each fault, as the XScreenSaver module says it.
const char* EnglishRefusalForm(ImageFault fault);

inline std::string EnglishRefusal(const ImageRefusal& refusal)
{
    return RefusalText(refusal, EnglishRefusalForm(refusal.fault));
}
