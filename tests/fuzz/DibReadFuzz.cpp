// Arbitrary bytes into CDIB::Read. Whatever it accepts must be safe to draw:
// every byte the drawing calls take lies inside our own blocks.
#include "image/CDIB.h"
#include "image/DibPixels.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

// Bytes of pixels the drawing calls read for this header.
std::uint64_t DrawnBytes(const DibInfoHeader& h)
{
    if (h.biCompression == kDibRle8 || h.biCompression == kDibRle4)
        return h.biSizeImage;
    const std::uint64_t row = (std::uint64_t(std::uint32_t(h.biWidth)) * h.biBitCount + 31) / 32 * 4;
    const std::uint64_t rows = h.biHeight < 0 ? std::uint64_t(-std::int64_t(h.biHeight)) : std::uint64_t(h.biHeight);
    return row * rows;
}

void ReadFrom(const std::uint8_t* data, std::size_t size, std::size_t start)
{
    CDIB dib;
    MemoryByteSource source(data, size);
    Require(source.Seek(static_cast<std::int64_t>(start)));
    ImageRefusal why;
    if (!dib.Read(source, &why)) {
        Require(!dib.Info() && !dib.Bits() && dib.GetWidth() == 0);
        Require(why.fault != ImageFault::None && !EnglishRefusal(why).empty());
        return;
    }
    Require(why.fault == ImageFault::None);
    const DibInfoHeader& h = dib.Info()->bmiHeader;
    Require(h.biSize == 40 && h.biWidth > 0 && h.biHeight != 0);
    Require(dib.GetNumColors() >= 0 && dib.GetNumColors() <= 256);
    const std::uint64_t drawn = DrawnBytes(h);
    Require(drawn > 0);
    // Touch the ends of what drawing reads, so the sanitizer sees any overrun.
    volatile unsigned char sink = dib.Bits()[0];
    sink = dib.Bits()[static_cast<std::size_t>(drawn - 1)];
    (void)sink;
    dib.BuildLogPalette();
    // The module's decoder reads every pixel; a run-length header may name
    // any size, so only pictures of sensible area.
    if (std::uint64_t(h.biWidth) * std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight) <= (1u << 20))
        Require(DibPixels(dib).size() == std::size_t(h.biWidth) * std::size_t(std::abs(std::int64_t(h.biHeight))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadFrom(data, size, 0);
    // A reader positioned after other data: every offset counts from there.
    if (size > 16)
        ReadFrom(data, size, 5);
    return 0;
}
