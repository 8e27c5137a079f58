#!/usr/bin/python3
"""Draws docs/piece-layout.png: the piece image scaled up, with its rows and
frame columns labelled, for the README.

  make-piece-layout.py [PIECE_IMAGE [OUTPUT]]
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
CELL = 32
ROWS = 11
SCALE = 2
TOP, BOTTOM = 56, 48
FONTS = ("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")


def font(size):
    for path in FONTS:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def row_label(row):
    if row == 0:
        return "row 0: empty cell (column 0 only)"
    kind = (row + 1) // 2
    if row % 2:
        return f"row {row}: kind {kind} at rest (column 0) and selecting"
    return f"row {row}: kind {kind} disappearing"


def render(source, output):
    with Image.open(source) as image:
        pieces = image.convert("RGB")
    width, height = pieces.size
    if height != ROWS * CELL or width % CELL:
        raise SystemExit(f"{source}: {width} x {height}, wanted 352 high and a multiple of 32 wide")
    frames = width // CELL
    step = CELL * SCALE
    big = pieces.resize((width * SCALE, height * SCALE), Image.NEAREST)

    small, large = font(15), font(17)
    footer = f"352 px high: 11 rows of 32 px. {width} px wide: {frames} frames. Shown at twice the size."
    left = 24 + max(int(small.getlength(row_label(r))) for r in range(ROWS))
    canvas_width = max(left + big.width, left + int(small.getlength(footer))) + 16
    canvas = Image.new("RGB", (canvas_width, TOP + big.height + BOTTOM), (255, 255, 255))
    canvas.paste(big, (left, TOP))
    draw = ImageDraw.Draw(canvas)

    # Row 0 uses only its first column: grey out the rest.
    shade = Image.new("RGB", ((frames - 1) * step, step), (235, 235, 235))
    canvas.paste(shade, (left + step, TOP))
    draw.text((left + step + 8, TOP + step // 2), "unused", fill=(120, 120, 120), font=small, anchor="lm")

    grid = (150, 150, 150)
    for c in range(frames + 1):
        x = left + c * step
        draw.line([(x, TOP), (x, TOP + big.height)], fill=grid)
    for r in range(ROWS + 1):
        y = TOP + r * step
        draw.line([(left, y), (left + big.width, y)], fill=grid, width=3 if r % 2 and r < ROWS else 1)
    draw.text((left, 8), f"frame columns 0 to {frames - 1} (32 px each)", fill=(0, 0, 0), font=large)
    for c in range(frames):
        draw.text((left + c * step + step // 2, TOP - 6), str(c), fill=(0, 0, 0), font=small, anchor="mb")
    for r in range(ROWS):
        y = TOP + r * step + step // 2
        draw.text((left - 10, y), row_label(r), fill=(0, 0, 0), font=small, anchor="rm")
    draw.text((left, TOP + big.height + 12), footer, fill=(0, 0, 0), font=small)
    canvas.save(output, optimize=True)
    return output


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "res", "velomass.bmp")
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "piece-layout.png")
    print(render(source, output))


if __name__ == "__main__":
    main()
