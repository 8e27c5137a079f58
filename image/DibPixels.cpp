#include "image/DibPixels.h"

#include <cstddef>
#include <cstdlib>

namespace {

std::uint32_t Rgb(const DibQuad& q)
{
    return static_cast<std::uint32_t>(q.rgbRed) << 16 | static_cast<std::uint32_t>(q.rgbGreen) << 8 | q.rgbBlue;
}

// One channel of a masked pixel, widened to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const std::uint64_t max = mask >> shift;
    return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / max);
}

struct Masks {
    std::uint32_t red, green, blue;
};

Masks MasksOf(const DibInfo& info)
{
    const DibInfoHeader& h = info.bmiHeader;
    if (h.biCompression == kDibBitfields) {
        const auto* table = reinterpret_cast<const unsigned char*>(info.bmiColors);
        const auto le32 = [table](int i) {
            const unsigned char* p = table + 4 * i;
            return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<std::uint32_t>(p[3]) << 24;
        };
        return {le32(0), le32(1), le32(2)};
    }
    if (h.biBitCount == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

// Run-length rows, bottom-up; every write is checked against the image.
void DecodeRle(const DibInfo& info, const unsigned char* bits, std::vector<std::uint32_t>& out)
{
    const DibInfoHeader& h = info.bmiHeader;
    const int width = h.biWidth, height = h.biHeight;
    const bool four = h.biCompression == kDibRle4;
    const unsigned char* p = bits;
    const unsigned char* end = bits + h.biSizeImage;
    int x = 0, y = 0;  // y counts rows from the bottom
    const auto put = [&](unsigned index) {
        if (x < width && y < height)
            out[static_cast<std::size_t>(height - 1 - y) * width + x] = Rgb(info.bmiColors[index & 0xFF]);
        ++x;
    };
    while (end - p >= 2) {
        const unsigned count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four ? (i % 2 ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (end - p < 2)
                return;
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            // Absolute run, padded to a 16-bit word.
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (static_cast<std::size_t>(end - p) < bytes)
                return;
            for (unsigned i = 0; i < value; ++i)
                put(four ? (i % 2 ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
            p += bytes + bytes % 2;
        }
    }
}

} // namespace

std::vector<std::uint32_t> DibPixels(const CDIB& dib)
{
    if (!dib.Info() || !dib.Bits())
        return {};
    const DibInfo& info = *dib.Info();
    const DibInfoHeader& h = info.bmiHeader;
    const int width = h.biWidth;
    const int height = std::abs(h.biHeight);
    if (width <= 0 || height == 0)
        return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height, 0);
    const unsigned char* bits = dib.Bits();
    if (h.biCompression == kDibRle8 || h.biCompression == kDibRle4) {
        DecodeRle(info, bits, out);
        return out;
    }

    const int depth = h.biBitCount;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
    const Masks masks = MasksOf(info);
    for (int row = 0; row < height; ++row) {
        // Bottom-up unless the height is negative.
        const unsigned char* src = bits + rowBytes * static_cast<std::size_t>(h.biHeight > 0 ? height - 1 - row : row);
        std::uint32_t* dst = &out[static_cast<std::size_t>(row) * width];
        for (int x = 0; x < width; ++x) {
            switch (depth) {
            case 1: dst[x] = Rgb(info.bmiColors[(src[x / 8] >> (7 - x % 8)) & 1]); break;
            case 4: dst[x] = Rgb(info.bmiColors[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F]); break;
            case 8: dst[x] = Rgb(info.bmiColors[src[x]]); break;
            case 24: dst[x] = static_cast<std::uint32_t>(src[3 * x + 2]) << 16 | src[3 * x + 1] << 8 | src[3 * x]; break;
            case 16:
            case 32: {
                const unsigned char* p = src + x * (depth / 8);
                std::uint32_t v = p[0] | p[1] << 8;
                if (depth == 32)
                    v |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
                dst[x] = Channel(v, masks.red) << 16 | Channel(v, masks.green) << 8 | Channel(v, masks.blue);
                break;
            }
            default: break;
            }
        }
    }
    return out;
}
