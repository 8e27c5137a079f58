#pragma once
#include "base/ByteSource.h"
#include "image/ImageRefusal.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// These blocks are laid out like the platform's BITMAPINFOHEADER, RGBQUAD,
// BITMAPINFO (with room for 256 colours), PALETTEENTRY and LOGPALETTE,
// so the Win32 layer hands them straight to the drawing and palette calls.
struct DibInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // negative for top-down rows
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct DibQuad {
    std::uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct DibInfo {
    DibInfoHeader bmiHeader;
    DibQuad bmiColors[256];
};

struct DibPaletteEntry {
    std::uint8_t peRed, peGreen, peBlue, peFlags;
};

struct DibLogPalette {
    std::uint16_t palVersion;
    std::uint16_t palNumEntries;
    DibPaletteEntry palPalEntry[256];
};

static_assert(sizeof(DibInfoHeader) == 40, "info header layout");
static_assert(sizeof(DibInfo) == 1064, "header block layout");
static_assert(sizeof(DibLogPalette) == 4 + 4 * 256, "palette block layout");

enum DibCompression : std::uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitfields = 3,
};

// Colours in the table that follows a header: 2, 16 or 256 for 1, 4 and 8
// bits per pixel, 0 otherwise, unless a 40-byte header's colours-used field
// says otherwise. A 12-byte (OS/2) header is read in its own layout.
std::uint32_t DibColorCount(const DibInfoHeader* header);

using DibBits = std::unique_ptr<unsigned char[]>;

// A device-independent bitmap in memory: header with colour table, pixel
// rows as stored in the file, and a logical palette built from the table.
// It holds no image until a Read succeeds; a failed Read keeps what it held.
class CDIB {
public:
    CDIB() = default;
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;
    CDIB(CDIB&&) = default;
    CDIB& operator=(CDIB&&) = default;

    // Reads a ".bmp"/".dib" file from the source's current position; all
    // offsets in the file count from there. Refuses anything that drawing
    // could not use safely, and says why in `why` when given. The 12-byte
    // header and the 40-byte one with its later forms (52, 56, 108 and 124
    // bytes, masks inside) are read; the image keeps the 40-byte form, masks
    // in the first three table entries as that form has them.
    bool Read(ByteSource& file, ImageRefusal* why = nullptr);

    int GetWidth() const;
    int GetHeight() const;  // as stored: negative for top-down
    int GetNumColors() const;
    bool BuildLogPalette();

    // The blocks the drawing and palette calls take; null without an image.
    const DibInfo* Info() const { return m_info.get(); }  // always the 40-byte header form
    const unsigned char* Bits() const { return m_bits.get(); }
    // Filled by BuildLogPalette; no entries before it or after it failed.
    const DibLogPalette& LogPalette() const { return m_logPalette; }

private:
    std::unique_ptr<DibInfo> m_info;
    DibBits m_bits;
    DibLogPalette m_logPalette{0x300, 0, {}};
};
