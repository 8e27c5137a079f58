#pragma once
// Test piece images in temporary files: each 32 x 32 picture is one
// colour-table index, so a picture from the wrong row or column, or scaled
// from the wrong place, shows.
#include "host/BmpFile.h"
#include "image/PieceLayout.h"
#include "platform/Text.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

inline int PictureIndex(int row, int column) { return 1 + row * 8 + column % 8; }
inline COLORREF IndexColour(int index) { return RGB(BmpFile::Red(index), BmpFile::Green(index), BmpFile::Blue(index)); }

inline std::vector<std::uint8_t> PieceBmp(int frames, int height = kPieceImageHeight)
{
    BmpFile f;
    f.width = frames * kPieceCell;
    f.height = height;
    const std::size_t rowBytes = static_cast<std::size_t>(f.RowBytes());
    f.pixels.assign(rowBytes * height, 0);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < f.width; ++x)  // stored bottom-up
            f.pixels[rowBytes * r + x] = static_cast<std::uint8_t>(PictureIndex((height - 1 - r) / 32, x / 32));
    return f.Bytes();
}

// A file for the length of a test, in the temporary folder unless placed.
struct TempFile {
    explicit TempFile(const std::vector<std::uint8_t>& bytes, std::wstring placed = {}) : path(std::move(placed))
    {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        if (path.empty())
            path = std::wstring(dir) + L"board test " + std::to_wstring(++s_count) + L".bmp";
        if (FILE* f = _wfopen(path.c_str(), L"wb"))
            fwrite(bytes.data(), 1, bytes.size(), f), fclose(f);
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    std::string Path() const { return Narrow(path); }
    std::wstring path;
    static inline int s_count = 0;
};

