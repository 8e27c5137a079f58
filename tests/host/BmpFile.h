#pragma once
// Assembles small bitmap files field by field, so that a test case reads
// as the list of header fields it changes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct BmpFile {
    std::string type = "BM";
    std::int64_t fileSize = -1;     // -1: what the parts add up to
    std::uint32_t headerSize = 40;  // 12 writes the OS/2 form; above 40 pads the header
    std::int32_t width = 4;
    std::int32_t height = 2;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
    // Bit-field masks (red, green, blue, alpha): inside a header of 52 bytes
    // or more, otherwise the first three table entries. Empty: the table
    // pattern stands in for them.
    std::vector<std::uint32_t> masks;
    std::vector<std::uint8_t> pixels;   // empty: every row filled with a pattern
    std::size_t cutTo = 0;              // non-zero: keep only this many bytes

    std::uint64_t RowBytes() const { return (std::uint64_t(width) * bitCount + 31) / 32 * 4; }

    int ImpliedEntries() const
    {
        int n = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
        if (headerSize != 12 && clrUsed)
            n = static_cast<int>(clrUsed);
        return n + (TableMasks() ? 3 : 0);
    }
    bool TableMasks() const { return compression == 3 && headerSize < 52; }

    // Colour entry i as the file holds it: blue, green, red, reserved.
    static std::uint8_t Blue(int i) { return static_cast<std::uint8_t>(i); }
    static std::uint8_t Green(int i) { return static_cast<std::uint8_t>(255 - i); }
    static std::uint8_t Red(int i) { return static_cast<std::uint8_t>(i * 7 + 3); }
    static std::uint8_t Reserved(int i) { return static_cast<std::uint8_t>(i % 3); }

    std::vector<std::uint8_t> Pixels() const
    {
        if (!pixels.empty())
            return pixels;
        // lying headers ask for more than a test needs to write
        std::uint64_t size = RowBytes() * static_cast<std::uint64_t>(std::llabs(height));
        std::vector<std::uint8_t> p(size < (1u << 20) ? size : 64);
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = static_cast<std::uint8_t>(i * 37 + 11);
        return p;
    }

    std::vector<std::uint8_t> Bytes() const
    {
        std::vector<std::uint8_t> out(type.begin(), type.end());
        out.resize(2, 0);
        const auto put = [&out](std::uint64_t x, int bytes) {
            for (int i = 0; i < bytes; ++i)
                out.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
        };
        const int entries = ImpliedEntries();
        const std::size_t header = headerSize == 12 ? 12 : headerSize > 40 ? headerSize : 40;
        const std::size_t natural = 14 + header + (headerSize == 12 ? 3 : 4) * entries;
        const std::vector<std::uint8_t> px = Pixels();
        put(fileSize >= 0 ? std::uint64_t(fileSize) : natural + px.size(), 4);
        put(0, 4);
        put(natural, 4);
        put(headerSize, 4);
        const int sizeBytes = headerSize == 12 ? 2 : 4;
        put(std::uint32_t(width), sizeBytes);
        put(std::uint32_t(height), sizeBytes);
        put(1, 2);  // planes
        put(bitCount, 2);
        if (headerSize != 12) {
            for (std::uint32_t field : {compression, sizeImage, 2835u, 2835u, clrUsed, 0u})
                put(field, 4);
            if (headerSize >= 52)
                for (std::uint32_t mask : masks)
                    put(mask, 4);
            out.resize(14 + header, 0);
        }
        const int maskEntries = TableMasks() && !masks.empty() ? 3 : 0;
        for (int i = 0; i < entries; ++i) {
            if (i < maskEntries) {
                put(masks[i], 4);
                continue;
            }
            const int j = i - maskEntries;
            put(Blue(j) | Green(j) << 8 | Red(j) << 16 | std::uint32_t(Reserved(j)) << 24, headerSize == 12 ? 3 : 4);
        }
        out.insert(out.end(), px.begin(), px.end());
        if (cutTo)
            out.resize(cutTo);
        return out;
    }
};
