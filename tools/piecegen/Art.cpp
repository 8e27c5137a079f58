#include "Art.h"

#include <algorithm>
#include <cmath>

// Cell coordinates run from -1 to 1 across the cell, y downwards.
namespace {

const double kPi = 3.14159265358979323846;

struct V2 {
    double x, y;
};
V2 operator+(V2 a, V2 b) { return {a.x + b.x, a.y + b.y}; }
V2 operator-(V2 a, V2 b) { return {a.x - b.x, a.y - b.y}; }
V2 operator*(V2 a, double s) { return {a.x * s, a.y * s}; }
double Dot(V2 a, V2 b) { return a.x * b.x + a.y * b.y; }
double Len(V2 a) { return std::sqrt(Dot(a, a)); }
double Clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }
double Sign(double v) { return v < 0 ? -1.0 : 1.0; }
double Smooth(double e0, double e1, double x)
{
    double t = Clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}
V2 Rotate(V2 p, double a)
{
    double c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
const Rgb kWhite{1, 1, 1};

// Signed distances, negative inside. The shapes are written y-up, so the
// callers flip y.
double RoundBox(V2 p, V2 half, double r)
{
    V2 q{std::fabs(p.x) - half.x + r, std::fabs(p.y) - half.y + r};
    V2 outside{std::max(q.x, 0.0), std::max(q.y, 0.0)};
    return Len(outside) + std::min(std::max(q.x, q.y), 0.0) - r;
}

double Triangle(V2 p, double r)
{
    const double k = std::sqrt(3.0);
    p.x = std::fabs(p.x) - r;
    p.y = p.y + r / k;
    if (p.x + k * p.y > 0)
        p = V2{p.x - k * p.y, -k * p.x - p.y} * 0.5;
    p.x -= Clamp(p.x, -2 * r, 0.0);
    return -Len(p) * Sign(p.y);
}

double Rhombus(V2 p, V2 b)
{
    p = {std::fabs(p.x), std::fabs(p.y)};
    V2 c = b - p * 2;
    double h = Clamp((c.x * b.x - c.y * b.y) / Dot(b, b), -1.0, 1.0);
    double d = Len(p - V2{b.x * (1 - h), b.y * (1 + h)} * 0.5);
    return d * Sign(p.x * b.y + p.y * b.x - b.x * b.y);
}

double Star5(V2 p, double r, double rf)
{
    const V2 k1{0.809016994375, -0.587785252292};
    const V2 k2{-k1.x, k1.y};
    p.x = std::fabs(p.x);
    p = p - k1 * (2 * std::max(Dot(k1, p), 0.0));
    p = p - k2 * (2 * std::max(Dot(k2, p), 0.0));
    p.x = std::fabs(p.x);
    p.y -= r;
    V2 ba = V2{-k1.y, k1.x} * rf - V2{0, 1};
    double h = Clamp(Dot(p, ba) / Dot(ba, ba), 0.0, r);
    return Len(p - ba * h) * Sign(p.y * ba.x - p.x * ba.y);
}

// The five pieces at rest, centred in the cell. They differ in outline so
// that nobody needs the colours to tell them apart.
double PieceShape(int kind, V2 p)
{
    V2 up{p.x, -p.y};
    switch (kind) {
    case 1: return Len(p) - 0.78;                                  // ball
    case 2: return RoundBox(p, {0.68, 0.68}, 0.21);                // block
    case 3: return Triangle(up - V2{0, -0.17}, 0.77) - 0.07;       // pyramid
    case 4: return Rhombus(p, {0.70, 0.92}) - 0.03;                // diamond
    case 5: return Star5(up - V2{0, -0.05}, 0.88, 0.50) - 0.05;    // star
    }
    return 1e9;
}

V2 ShapeGradient(int kind, V2 p)
{
    const double e = 1e-4;
    double dx = PieceShape(kind, p + V2{e, 0}) - PieceShape(kind, p - V2{e, 0});
    double dy = PieceShape(kind, p + V2{0, e}) - PieceShape(kind, p - V2{0, e});
    double n = std::sqrt(dx * dx + dy * dy);
    if (n < 1e-12)
        return {0, 0};
    return {dx / n, dy / n};
}

struct Layered {
    Rgb c{0, 0, 0};
    double a = 0;
    void Over(Rgb src, double alpha)
    {
        alpha = Clamp(alpha, 0.0, 1.0);
        double out = alpha + a * (1 - alpha);
        if (out <= 0)
            return;
        // straight colours: weight the old one by its remaining share
        double keep = a * (1 - alpha);
        c = {(src.r * alpha + c.r * keep) / out, (src.g * alpha + c.g * keep) / out,
             (src.b * alpha + c.b * keep) / out};
        a = out;
    }
};

// The empty cell: a dark, slightly recessed socket in a darker frame.
Rgb EmptyCell(V2 p, double px)
{
    const Rgb frame{0.050, 0.058, 0.085};
    const Rgb floor{0.085, 0.098, 0.140};
    double d = RoundBox(p, {0.94 - px, 0.94 - px}, 0.26);
    if (d > 0)
        return frame;
    Rgb c = floor;
    // inner walls: the upper-left one in shade, the lower-right one catching light
    double depth = -d;
    double wall = 1 - Smooth(0.0, 2.2 * px, depth);
    if (wall > 0) {
        V2 g{0, 0};
        const double e = 1e-4;
        double dx = RoundBox(p + V2{e, 0}, {0.94 - px, 0.94 - px}, 0.26) -
                    RoundBox(p - V2{e, 0}, {0.94 - px, 0.94 - px}, 0.26);
        double dy = RoundBox(p + V2{0, e}, {0.94 - px, 0.94 - px}, 0.26) -
                    RoundBox(p - V2{0, e}, {0.94 - px, 0.94 - px}, 0.26);
        double n = std::sqrt(dx * dx + dy * dy);
        if (n > 0)
            g = {dx / n, dy / n};
        double facing = (g.x + g.y) * 0.7071;  // +1 lower right, -1 upper left
        Rgb lit = facing > 0 ? Rgb{0.140, 0.158, 0.215} : Rgb{0.040, 0.046, 0.068};
        c = Mix(c, lit, wall * std::fabs(facing));
    }
    // a faint sheen towards the top keeps a board of empty cells from looking flat
    c = Mix(c, Rgb{0.105, 0.120, 0.170}, Clamp(-p.y * 0.5, 0.0, 0.5) * Smooth(0.0, 0.3, depth));
    return c;
}

Rgb Light(Rgb base) { return Mix(base, kWhite, 0.45); }

// A solid, bevelled piece: flat top, rounded rim, dark outline, gloss.
Rgb ShadePiece(int kind, V2 p, double depth, double px, const CellLook& look)
{
    Rgb base = PieceColour(kind);
    V2 g = ShapeGradient(kind, p);
    const double bevel = 0.24;
    double slope = depth < bevel ? 1.7 * (1 - depth / bevel) : 0.0;
    double nx = g.x * slope, ny = g.y * slope, nz = 1.0;
    double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= nl, ny /= nl, nz /= nl;
    const double lx = -0.45, ly = -0.62, lz = 0.64;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    double diffuse = std::max(0.0, (nx * lx + ny * ly + nz * lz) / ll);
    // half vector between the light and the viewer
    double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1;
    double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    double specular = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 40.0);

    Rgb c = Scale(base, 0.30 + 0.90 * diffuse);
    // gloss: a soft pale band over the upper-left of the top face
    double gloss = Smooth(0.55, 0.05, Len(p - V2{-0.22, -0.30})) * Smooth(0.02, 0.16, depth);
    c = Mix(c, kWhite, 0.22 * gloss + 0.75 * specular);
    c = Scale(c, 1 + look.lift);
    // dark outline keeps the edge crisp when the picture is blown up
    double rim = 1 - Smooth(0.6 * px, 1.4 * px, depth);
    c = Mix(c, Scale(base, 0.22), rim);
    c = Mix(c, kWhite, look.whiten);
    return {Clamp(c.r, 0, 1), Clamp(c.g, 0, 1), Clamp(c.b, 0, 1)};
}

// A four-pointed twinkle (an astroid), coverage 0..1.
double Twinkle(V2 q, double size)
{
    if (size <= 0)
        return 0;
    double v = std::sqrt(std::fabs(q.x)) + std::sqrt(std::fabs(q.y));
    return v < std::sqrt(size) ? 1.0 : 0.0;
}

// One sample of a cell: the cell point p and the size of a pixel in cell units.
Layered Sample(V2 p, double px, const CellLook& look, Backdrop backdrop)
{
    Layered out;
    if (backdrop == Backdrop::EmptyCell)
        out.Over(EmptyCell(p, px), 1.0);
    if (look.kind < 1 || look.kind > 5)
        return out;
    const int kind = look.kind;
    const Rgb base = PieceColour(kind);
    const double scale = std::max(look.scale, 1e-6);
    auto local = [&](V2 q) { return Rotate(q, -look.turn) * (1 / scale); };

    if (look.scale > 0.02) {
        // a soft drop shadow, then the halo, then the piece
        double ds = PieceShape(kind, local(p - V2{0.05, 0.08})) * scale;
        out.Over({0, 0, 0}, 0.55 * (1 - Smooth(-0.06, 0.14, ds)) * std::min(1.0, look.scale));
        double d = PieceShape(kind, local(p)) * scale;
        if (look.glow > 0 && d > 0)
            out.Over(Light(base), look.glow * std::exp(-d / 0.13));
        if (d < 0)
            out.Over(ShadePiece(kind, local(p), -d / scale, px / scale, look), 1.0);
        if (look.sparkle > 0) {
            V2 centre = Rotate(V2{-0.26, -0.30}, look.turn) * scale;
            double s = Twinkle(Rotate(p - centre, look.sparkleAngle), look.sparkle);
            double core = std::exp(-Len(p - centre) / (0.25 * look.sparkle + 1e-6));
            out.Over(kWhite, std::max(s, core * 0.8));
        }
    }
    if (look.ring > 0 && look.ringAlpha > 0) {
        double off = std::fabs(Len(p) - look.ring);
        out.Over(Light(base), look.ringAlpha * (1 - Smooth(0.03, 0.07, off)));
    }
    if (look.shards > 0 && look.shardAlpha > 0) {
        for (int i = 0; i < 8; ++i) {
            double a = kPi / 8 + i * kPi / 4;
            V2 centre{std::cos(a) * look.shards, std::sin(a) * look.shards};
            V2 q = Rotate(p - centre, -a - look.shards * 3) * (1 / look.shardSize);
            double d = PieceShape(kind, q) * look.shardSize;
            if (d < 0) {
                Rgb c = Mix(Light(base), kWhite, 0.4 * Smooth(0.0, 0.10, -d));
                c = Mix(Scale(base, 0.55), c, Smooth(0.0, 1.2 * px, -d));
                out.Over(c, look.shardAlpha);
            }
        }
    }
    return out;
}

} // namespace

Rgb PieceColour(int kind)
{
    // Differ in lightness as well as hue, so they stay apart in grey too.
    switch (kind) {
    case 1: return {0.93, 0.25, 0.20};  // red
    case 2: return {0.20, 0.48, 0.95};  // blue
    case 3: return {1.00, 0.80, 0.12};  // yellow
    case 4: return {0.12, 0.74, 0.42};  // green
    case 5: return {0.74, 0.36, 0.93};  // purple
    }
    return {0.5, 0.5, 0.5};
}

CellLook RestLook(int kind)
{
    CellLook look;
    look.kind = kind;
    return look;
}

CellLook SelectionLook(int kind, int frame, int frames)
{
    // One swell and back: frame 0 is the piece at rest, and the last frame
    // leads smoothly into frame 0 (and into frame 1 when 0 is only the still).
    double t = static_cast<double>(frame) / frames;
    double swell = std::sin(kPi * t);
    CellLook look = RestLook(kind);
    look.scale = 1 + 0.10 * swell;
    look.lift = 0.18 * swell;
    look.glow = 0.75 * swell;
    look.sparkle = 0.40 * swell;
    look.sparkleAngle = kPi / 2 * t;
    // A fifth of a turn brings the star back onto itself. Frames 1 to last
    // make the whole fifth, so the loop without frame 0 turns evenly too.
    if (kind == 5 && frame > 0 && frames > 1)
        look.turn = 2 * kPi / 5 * (frame - 1) / (frames - 1);
    return look;
}

CellLook DisappearLook(int kind, int frame, int frames)
{
    // Flash, shrink into a point of light while a ring and shards fly off
    // and fade; the last frame is all but the empty cell.
    double t = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 1.0;
    CellLook look = RestLook(kind);
    look.scale = std::pow(std::max(0.0, 1 - 1.6 * t), 1.2);
    look.whiten = std::min(1.0, 0.12 + 2.0 * t);
    look.lift = 0.2 * (1 - t);
    look.glow = 0.8 * (1 - t) * (1 - t);
    if (t > 0.1) {
        double v = (t - 0.1) / 0.9;
        look.ring = 0.40 + 0.48 * std::sqrt(v);
        look.ringAlpha = 0.6 * std::pow(1 - v, 3.0);
    }
    if (t > 0.2) {
        double u = (t - 0.2) / 0.8;
        look.shards = 0.30 + 0.50 * std::sqrt(u);
        look.shardSize = 0.42 * (1 - 0.65 * u);
        look.shardAlpha = 1 - 0.85 * std::pow(u, 1.5);
    }
    return look;
}

void DrawCell(Picture& pic, int x0, int y0, int size, const CellLook& look, Backdrop backdrop)
{
    const int n = 6;  // n x n samples per pixel
    const double px = 2.0 / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    V2 p{(x + (sx + 0.5) / n) * px - 1, (y + (sy + 0.5) / n) * px - 1};
                    Layered s = Sample(p, px, look, backdrop);
                    r += s.c.r * s.a, g += s.c.g * s.a, b += s.c.b * s.a, a += s.a;
                }
            }
            Rgba& out = pic.at(x0 + x, y0 + y);
            if (a > 0)
                out = {r / a, g / a, b / a, a / (n * n)};
            else
                out = {0, 0, 0, 0};
        }
    }
}
