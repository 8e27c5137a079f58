// Draws the piece image velomass.bmp and the icon velomass.ico.
// usage: piecegen [output directory]
#include "Art.h"
#include "Palette.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

const int kCell = 32;
const int kFrames = 8;
const int kRows = 11;
const int kKinds = 5;
const int kBackgroundColours = 15;  // after black at index 0
const int kKindColours = 48;        // 1 + 15 + 5 x 48 = 256

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void Put32(Bytes& out, unsigned long v)
{
    Put16(out, static_cast<unsigned>(v & 0xFFFF));
    Put16(out, static_cast<unsigned>((v >> 16) & 0xFFFF));
}

std::uint8_t To8(double v)
{
    if (v <= 0)
        return 0;
    if (v >= 1)
        return 255;
    return static_cast<std::uint8_t>(std::lround(v * 255));
}
Colour8 To8(const Rgba& c) { return {To8(c.r), To8(c.g), To8(c.b)}; }

// 40-byte info header; height is as stored (doubled for icon images).
void PutInfoHeader(Bytes& out, int w, int h, int bits, unsigned long imageBytes, unsigned colours)
{
    Put32(out, 40);
    Put32(out, static_cast<unsigned long>(w));
    Put32(out, static_cast<unsigned long>(h));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, 0);  // uncompressed
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
}

void PutColourTable(Bytes& out, const std::vector<Colour8>& palette)
{
    for (const Colour8& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
}

Picture DrawSheet()
{
    Picture sheet(kCell * kFrames, kCell * kRows);
    for (int c = 0; c < kFrames; ++c)
        DrawCell(sheet, c * kCell, 0, kCell, CellLook{}, Backdrop::EmptyCell);
    for (int k = 1; k <= kKinds; ++k) {
        for (int c = 0; c < kFrames; ++c) {
            DrawCell(sheet, c * kCell, (2 * k - 1) * kCell, kCell, SelectionLook(k, c, kFrames),
                     Backdrop::EmptyCell);
            DrawCell(sheet, c * kCell, 2 * k * kCell, kCell, DisappearLook(k, c, kFrames),
                     Backdrop::EmptyCell);
        }
    }
    return sheet;
}

// Black, a few shades of the empty cell, then a set of colours per kind.
// Pixels that are plain background map to the background shades, so every
// cell's background matches the empty cell exactly.
std::vector<Colour8> BuildPalette(const Picture& sheet)
{
    std::vector<Colour8> empty;
    std::set<Colour8> background;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            empty.push_back(To8(sheet.at(x, y)));
            background.insert(empty.back());
        }
    std::vector<Colour8> palette{Colour8{0, 0, 0}};
    for (Colour8 c : ChooseColours(empty, kBackgroundColours))
        palette.push_back(c);
    for (int k = 1; k <= kKinds; ++k) {
        std::vector<Colour8> own;
        for (int y = (2 * k - 1) * kCell; y < (2 * k + 1) * kCell; ++y)
            for (int x = 0; x < sheet.w; ++x) {
                Colour8 c = To8(sheet.at(x, y));
                if (!background.count(c))
                    own.push_back(c);
            }
        for (Colour8 c : ChooseColours(own, kKindColours))
            palette.push_back(c);
    }
    return palette;
}

Bytes PieceImage(const Picture& sheet, const std::vector<Colour8>& palette)
{
    const unsigned long pixelBytes = static_cast<unsigned long>(sheet.w) * sheet.h;  // rows already 4-aligned
    const unsigned long offset = 14 + 40 + 4 * palette.size();
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, sheet.w, sheet.h, 8, pixelBytes, static_cast<unsigned>(palette.size()));
    PutColourTable(out, palette);
    for (int y = sheet.h - 1; y >= 0; --y)  // bottom-up
        for (int x = 0; x < sheet.w; ++x)
            out.push_back(static_cast<unsigned char>(Nearest(palette, To8(sheet.at(x, y)))));
    return out;
}

// The icon: four pieces in a square, or one for the smallest size.
Picture DrawIcon(int size)
{
    Picture icon(size, size);
    if (size < 32) {
        CellLook look = RestLook(5);
        look.scale = 1.06;
        DrawCell(icon, 0, 0, size, look, Backdrop::Clear);
        return icon;
    }
    const int kinds[4] = {1, 2, 3, 5};
    const int half = size / 2;
    for (int i = 0; i < 4; ++i) {
        CellLook look = RestLook(kinds[i]);
        look.scale = 1.14;
        DrawCell(icon, (i % 2) * half, (i / 2) * half, half, look, Backdrop::Clear);
    }
    return icon;
}

Bytes IconImage(const Picture& icon, int bits, const std::vector<Colour8>& palette)
{
    const int w = icon.w, h = icon.h;
    const unsigned long xorRow = bits == 32 ? 4ul * w : ((static_cast<unsigned long>(w) + 3) & ~3ul);
    const unsigned long andRow = ((static_cast<unsigned long>(w) + 31) / 32) * 4;
    Bytes out;
    PutInfoHeader(out, w, 2 * h, bits, (xorRow + andRow) * h, bits == 8 ? 256 : 0);
    if (bits == 8)
        PutColourTable(out, palette);
    // An 8-bit image has no partial transparency: faint pixels go.
    const double cut = bits == 32 ? 0.0 : 0.6;
    auto shows = [&](const Rgba& c) { return bits == 32 ? To8(c.a) > 0 : c.a >= cut; };
    for (int y = h - 1; y >= 0; --y) {
        Bytes row;
        for (int x = 0; x < w; ++x) {
            const Rgba& c = icon.at(x, y);
            if (bits == 32) {
                Colour8 v = shows(c) ? To8(c) : Colour8{};
                row.insert(row.end(), {v.b, v.g, v.r, shows(c) ? To8(c.a) : std::uint8_t{0}});
            } else {
                row.push_back(static_cast<unsigned char>(shows(c) ? Nearest(palette, To8(c)) : 0));
            }
        }
        row.resize(xorRow, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < w; ++x)
            if (!shows(icon.at(x, y)))
                row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes IconFile(const std::vector<Colour8>& palette)
{
    struct Entry {
        int size, bits;
    };
    // Full colour with soft edges for today's systems, 256 colours for old ones.
    const Entry entries[] = {{48, 32}, {32, 32}, {16, 32}, {32, 8}, {16, 8}};
    const int count = sizeof entries / sizeof entries[0];
    std::vector<Bytes> images;
    for (const Entry& e : entries)
        images.push_back(IconImage(DrawIcon(e.size), e.bits, palette));
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, count);
    unsigned long offset = 6 + 16ul * count;
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<unsigned char>(entries[i].size));
        out.push_back(static_cast<unsigned char>(entries[i].size));
        out.push_back(0);  // 0 colours: 256 or more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(entries[i].bits));
        Put32(out, images[i].size());
        Put32(out, offset);
        offset += images[i].size();
    }
    for (const Bytes& b : images)
        out.insert(out.end(), b.begin(), b.end());
    return out;
}

bool Save(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "piecegen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "piecegen: failed writing %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: piecegen [output directory]\n");
        return 2;
    }
    const std::string dir = argc == 2 ? argv[1] : ".";
    Picture sheet = DrawSheet();
    std::vector<Colour8> palette = BuildPalette(sheet);
    bool ok = Save(dir + "/velomass.bmp", PieceImage(sheet, palette));
    ok = Save(dir + "/velomass.ico", IconFile(palette)) && ok;
    return ok ? 0 : 1;
}
