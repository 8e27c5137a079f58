#include "image/CDIB.h"

#include <cstring>
#include <new>

namespace {

const std::uint16_t kBitmapType = 0x4D42;  // "BM"
const std::size_t kFileHeaderSize = 14;
const std::uint32_t kWinHeaderSize = 40;
const std::uint32_t kCoreHeaderSize = 12;
// Later forms of the 40-byte header: the first 40 bytes as before, then the
// red, green and blue masks (52), alpha (56), colour space (108), profile (124).
const std::uint32_t kLaterHeaderSizes[] = {52, 56, 108, 124};
const std::uint32_t kLongestHeader = 124;
const std::uint32_t kMaxColours = 256;
const std::uint32_t kBitfieldMasks = 3;
static_assert(SIZE_MAX >= UINT32_MAX, "a pixel array of any 32-bit size can be allocated");

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

DibInfoHeader ParseWinHeader(const unsigned char* p)
{
    DibInfoHeader h{};
    h.biSize = Le32(p);
    h.biWidth = static_cast<std::int32_t>(Le32(p + 4));
    h.biHeight = static_cast<std::int32_t>(Le32(p + 8));
    h.biPlanes = Le16(p + 12);
    h.biBitCount = Le16(p + 14);
    h.biCompression = Le32(p + 16);
    h.biSizeImage = Le32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(Le32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(Le32(p + 28));
    h.biClrUsed = Le32(p + 32);
    h.biClrImportant = Le32(p + 36);
    return h;
}

// The OS/2 form widened to the Windows form; its sizes are unsigned 16-bit.
DibInfoHeader ParseCoreHeader(const unsigned char* p)
{
    DibInfoHeader h{};
    h.biSize = kWinHeaderSize;
    h.biWidth = Le16(p + 4);
    h.biHeight = Le16(p + 6);
    h.biPlanes = Le16(p + 8);
    h.biBitCount = Le16(p + 10);
    return h;
}

std::uint64_t RowCount(const DibInfoHeader& h)
{
    return h.biHeight < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(h.biHeight))
                          : static_cast<std::uint64_t>(h.biHeight);
}

// Bytes per stored row: the bits of one row rounded up to whole 32-bit words.
std::uint64_t RowBytes(const DibInfoHeader& h)
{
    return (static_cast<std::uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
}

// Only forms that the platform's drawing calls take, with sizes they can
// draw from without reading past the pixels.
ImageFault Drawable(const DibInfoHeader& h)
{
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return ImageFault::BitCount;
    }
    bool encoding;
    switch (h.biCompression) {
    case kDibRgb: encoding = true; break;
    // run-length rows are always bottom-up
    case kDibRle8: encoding = h.biBitCount == 8 && h.biHeight >= 0; break;
    case kDibRle4: encoding = h.biBitCount == 4 && h.biHeight >= 0; break;
    case kDibBitfields: encoding = h.biBitCount == 16 || h.biBitCount == 32; break;
    default: encoding = false; break;  // JPEG, PNG and unknown encodings
    }
    if (!encoding)
        return ImageFault::Compression;
    if (h.biWidth <= 0 || h.biHeight == 0)
        return ImageFault::Dimensions;
    return ImageFault::None;
}

// The bytes drawing reads: the stated size of run-length data, every padded row otherwise.
std::uint64_t PixelsNeeded(const DibInfoHeader& h)
{
    if (h.biCompression == kDibRle8 || h.biCompression == kDibRle4)
        return h.biSizeImage;
    return RowBytes(h) * RowCount(h);
}

// Whether `size` bytes of pixels hold everything drawing will read.
bool PixelsCoverImage(const DibInfoHeader& h, std::uint64_t size)
{
    if (h.biCompression == kDibRle8 || h.biCompression == kDibRle4)
        return h.biSizeImage > 0 && h.biSizeImage <= size;
    const std::uint64_t row = RowBytes(h);
    return RowCount(h) <= size / row;
}

std::uint32_t TableEntries(const DibInfoHeader& h, std::uint32_t colours)
{
    return colours + (h.biCompression == kDibBitfields ? kBitfieldMasks : 0);
}

} // namespace

std::uint32_t DibColorCount(const DibInfoHeader* header)
{
    if (!header)
        return 0;
    std::uint16_t bits;
    if (header->biSize == kCoreHeaderSize)
        bits = Le16(reinterpret_cast<const unsigned char*>(header) + 10);
    else
        bits = header->biBitCount;
    std::uint32_t n = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (header->biSize != kCoreHeaderSize && header->biClrUsed != 0)
        n = header->biClrUsed;
    return n;
}

bool CDIB::Read(ByteSource& file, ImageRefusal* why)
{
    ImageRefusal ignored;
    ImageRefusal& refusal = why ? *why : ignored;
    refusal = ImageRefusal();
    const auto refuse = [&refusal](ImageFault fault) {
        refusal.fault = fault;
        return false;
    };
    const std::int64_t start = file.Position();
    if (start < 0)
        return refuse(ImageFault::CannotOpen);
    const std::int64_t total = file.Size();
    // A cut file: what it holds from the start against what was wanted.
    const auto cut = [&](std::uint64_t wanted) {
        refusal.have = total >= start ? static_cast<std::uint64_t>(total - start) : 0;
        refusal.need = wanted;
        return refuse(ImageFault::Truncated);
    };

    unsigned char fileHeader[kFileHeaderSize];
    if (file.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader || Le16(fileHeader) != kBitmapType)
        return refuse(ImageFault::NotBitmap);
    const std::uint32_t fileSize = Le32(fileHeader + 2);
    const std::uint32_t pixelOffset = Le32(fileHeader + 10);

    // 40 bytes are read whatever the form, so even an OS/2 file needs them.
    unsigned char raw[kLongestHeader];
    if (file.Read(raw, kWinHeaderSize) != kWinHeaderSize)
        return cut(kFileHeaderSize + kWinHeaderSize);
    const std::uint32_t headerSize = Le32(raw);
    refusal.headerSize = headerSize;
    DibInfoHeader header;
    const bool core = headerSize == kCoreHeaderSize;
    bool later = false;
    for (std::uint32_t size : kLaterHeaderSizes)
        later = later || headerSize == size;
    if (headerSize == kWinHeaderSize || later) {
        header = ParseWinHeader(raw);
        header.biSize = kWinHeaderSize;
    } else if (core) {
        if (!file.Seek(start + static_cast<std::int64_t>(kFileHeaderSize)) ||
            file.Read(raw, kCoreHeaderSize) != kCoreHeaderSize)
            return cut(kFileHeaderSize + kCoreHeaderSize);
        header = ParseCoreHeader(raw);
    } else {
        return refuse(ImageFault::HeaderSize);
    }
    refusal.compression = header.biCompression;
    refusal.bitCount = header.biBitCount;
    refusal.width = header.biWidth;
    refusal.height = header.biHeight;
    // Colour-space data and profiles are of no use to drawing; only the
    // masks are kept, and the colour table follows the whole header.
    if (later && file.Read(raw + kWinHeaderSize, headerSize - kWinHeaderSize) != headerSize - kWinHeaderSize)
        return cut(kFileHeaderSize + headerSize);

    const ImageFault drawable = Drawable(header);
    if (drawable != ImageFault::None)
        return refuse(drawable);
    const std::uint32_t colours = DibColorCount(&header);
    refusal.colours = colours;
    if (colours > kMaxColours || TableEntries(header, colours) > kMaxColours)
        return refuse(ImageFault::ColourTable);
    refusal.need = PixelsNeeded(header);
    if (fileSize < pixelOffset)
        return refuse(ImageFault::PixelsShort);
    const std::uint32_t pixelSize = fileSize - pixelOffset;
    refusal.have = pixelSize;
    if (!PixelsCoverImage(header, pixelSize))
        return refuse(ImageFault::PixelsShort);
    // Do not trust the size field with an allocation the file cannot fill.
    const std::int64_t pixelStart = start + static_cast<std::int64_t>(pixelOffset);
    if (total >= 0 && pixelStart + static_cast<std::int64_t>(pixelSize) > total)
        return cut(std::uint64_t{pixelOffset} + pixelSize);

    std::unique_ptr<DibInfo> info(new (std::nothrow) DibInfo());
    if (!info)
        return refuse(ImageFault::OutOfMemory);
    info->bmiHeader = header;
    if (core) {
        for (std::uint32_t i = 0; i < colours; ++i) {
            unsigned char bgr[3];
            if (file.Read(bgr, 3) != 3)
                return cut(kFileHeaderSize + kCoreHeaderSize + 3 * colours);
            info->bmiColors[i] = {bgr[0], bgr[1], bgr[2], 0};
        }
    } else {
        std::uint32_t entries = TableEntries(header, colours);
        unsigned char* table = reinterpret_cast<unsigned char*>(info->bmiColors);
        if (later && header.biCompression == kDibBitfields) {
            std::memcpy(table, raw + kWinHeaderSize, 4 * kBitfieldMasks);
            table += 4 * kBitfieldMasks;
            entries -= kBitfieldMasks;
        }
        const std::size_t tableBytes = 4u * entries;
        if (file.Read(table, tableBytes) != tableBytes)
            return cut(kFileHeaderSize + headerSize + tableBytes);
    }

    DibBits bits(new (std::nothrow) unsigned char[pixelSize]);
    if (!bits)
        return refuse(ImageFault::OutOfMemory);
    if (!file.Seek(pixelStart) || file.Read(bits.get(), pixelSize) != pixelSize)
        return cut(std::uint64_t{pixelOffset} + pixelSize);

    m_info = std::move(info);
    m_bits = std::move(bits);
    return true;
}

int CDIB::GetWidth() const { return m_info ? m_info->bmiHeader.biWidth : 0; }

int CDIB::GetHeight() const { return m_info ? m_info->bmiHeader.biHeight : 0; }

int CDIB::GetNumColors() const
{
    // Read never keeps a table of more than 256 entries.
    return m_info ? static_cast<int>(DibColorCount(&m_info->bmiHeader)) : 0;
}

bool CDIB::BuildLogPalette()
{
    if (GetNumColors() != 256) {
        m_logPalette.palNumEntries = 0;
        return false;
    }
    m_logPalette.palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        const DibQuad& q = m_info->bmiColors[i];
        m_logPalette.palPalEntry[i] = {q.rgbRed, q.rgbGreen, q.rgbBlue, q.rgbReserved};
    }
    return true;
}
