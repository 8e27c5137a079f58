#pragma once
#include <cstddef>
#include <vector>

// Colours are straight (not premultiplied) sRGB in 0..1 with coverage a.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

// A picture of w x h pixels, row 0 at the top.
struct Picture {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    Picture(int width, int height) : w(width), h(height), px(static_cast<std::size_t>(width) * height) {}
    Rgba& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

enum class Backdrop { EmptyCell, Clear };

// What one cell shows: a piece kind (1..5, 0 for none) in some phase of its
// animations, drawn over the empty-cell background or a clear one (icons).
struct CellLook {
    int kind = 0;
    double scale = 1.0;     // piece size relative to rest
    double turn = 0.0;      // radians, clockwise
    double lift = 0.0;      // extra brightness
    double whiten = 0.0;    // mix towards white
    double glow = 0.0;      // halo strength outside the piece
    double sparkle = 0.0;   // size of the twinkle on the piece
    double sparkleAngle = 0.0;
    double ring = 0.0;      // radius of the burst ring, 0 for none
    double ringAlpha = 0.0;
    double shards = 0.0;    // distance the fragments flew, 0 for none
    double shardSize = 0.0;
    double shardAlpha = 0.0;
};

// The rest look and the animation frames of the piece image.
CellLook RestLook(int kind);
CellLook SelectionLook(int kind, int frame, int frames);
CellLook DisappearLook(int kind, int frame, int frames);

// Draws one cell of size x size pixels at (x0, y0) of the picture.
void DrawCell(Picture& pic, int x0, int y0, int size, const CellLook& look, Backdrop backdrop);

// The piece colours, for building the palette.
struct Rgb {
    double r, g, b;
};
Rgb PieceColour(int kind);
