#include "image/ImageRefusal.h"

namespace {

std::string CompressionName(std::uint32_t compression)
{
    static const char* const names[] = {"RGB", "RLE8", "RLE4", "bit fields", "JPEG", "PNG", "alpha bit fields"};
    std::string text = std::to_string(compression);
    if (compression < sizeof names / sizeof names[0])
        text += std::string(" (") + names[compression] + ")";
    return text;
}

std::string Field(const ImageRefusal& r, const std::string& name)
{
    if (name == "header")
        return std::to_string(r.headerSize);
    if (name == "compression")
        return CompressionName(r.compression);
    if (name == "bits")
        return std::to_string(r.bitCount);
    if (name == "width")
        return std::to_string(r.width);
    if (name == "height")
        return std::to_string(r.height);
    if (name == "colours")
        return std::to_string(r.colours);
    if (name == "have")
        return std::to_string(r.have);
    if (name == "need")
        return std::to_string(r.need);
    return "{" + name + "}";
}

} // namespace

std::string RefusalText(const ImageRefusal& refusal, const std::string& form)
{
    std::string out;
    std::size_t i = 0;
    while (i < form.size()) {
        const std::size_t open = form.find('{', i);
        const std::size_t close = open == std::string::npos ? open : form.find('}', open);
        if (close == std::string::npos) {
            out.append(form, i, std::string::npos);
            break;
        }
        out.append(form, i, open - i);
        out += Field(refusal, form.substr(open + 1, close - open - 1));
        i = close + 1;
    }
    return out;
}

const char* EnglishRefusalForm(ImageFault fault)
{
    switch (fault) {
    case ImageFault::None: return "";
    case ImageFault::CannotOpen: return "the file cannot be opened";
    case ImageFault::NotBitmap: return "not a bitmap: the file does not begin with a BMP file header";
    case ImageFault::Truncated: return "the file ends after {have} bytes, short of the {need} its headers give";
    case ImageFault::HeaderSize:
        return "a BMP information header of {header} bytes; those of 12, 40, 52, 56, 108 and 124 bytes are read";
    case ImageFault::BitCount: return "{bits} bits per pixel; 1, 4, 8, 16, 24 and 32 are read";
    case ImageFault::Compression: return "compression {compression} with {bits} bits per pixel cannot be drawn";
    case ImageFault::Dimensions: return "{width} x {height} pixels is no size a bitmap can be drawn at";
    case ImageFault::ColourTable: return "a colour table of {colours} entries; at most 256 are read";
    case ImageFault::PixelsShort:
        return "{have} bytes of pixels, but {width} x {height} at {bits} bits per pixel needs {need}";
    case ImageFault::OutOfMemory: return "not enough memory for {width} x {height} pixels";
    case ImageFault::PieceGrid:
        return "a piece image is 352 pixels high, stored bottom-up, and a multiple of 32 pixels wide; this one is "
               "{width} x {height}";
    }
    return "";
}
