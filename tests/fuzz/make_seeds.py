#!/usr/bin/python3
"""Writes the fuzz seed corpus: small bitmaps of every form the reader
takes, and a few it refuses. Run from this folder; the output is committed."""
import os
import struct

def table(n, core=False):
    out = b""
    for i in range(n):
        out += bytes([i & 255, (255 - i) & 255, (i * 7 + 3) & 255]) + (b"" if core else bytes([0]))
    return out

def rows(width, height, bits):
    stride = (width * bits + 31) // 32 * 4
    return bytes((i * 37 + 11) & 255 for i in range(stride * abs(height)))

def bmp(width, height, bits, colours=None, compression=0, used=0, pixels=None, size_image=0, masks=b"",
        header_size=40):
    """A header above 40 bytes holds the masks (and colour-space fields) itself."""
    if colours is None:
        colours = used or {1: 2, 4: 16, 8: 256}.get(bits, 0)
    header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression, size_image, 2835, 2835,
                         used, 0)
    if header_size > 40:
        header = (header + masks + b"\0" * header_size)[:header_size]
        masks = b""
    body = header + masks + table(colours)
    px = rows(width, height, bits) if pixels is None else pixels
    offset = 14 + len(body)
    return b"BM" + struct.pack("<IHHI", offset + len(px), 0, 0, offset) + body + px

def os2(width, height, bits):
    colours = {1: 2, 4: 16, 8: 256}.get(bits, 0)
    body = struct.pack("<IHHHH", 12, width, height, 1, bits) + table(colours, core=True)
    px = rows(width, height, bits)
    offset = 14 + len(body)
    data = b"BM" + struct.pack("<IHHI", offset + len(px), 0, 0, offset) + body + px
    return data + b"\0" * max(0, 54 - len(data))

rle8 = bytes([2, 5, 2, 6, 0, 0, 2, 7, 0, 3, 1, 2, 3, 0, 0, 1])
rle4 = bytes([4, 0x12, 0, 0, 0, 2, 1, 0, 2, 0x34, 0, 1])
masks16 = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
masks32 = struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
seeds = {
    "8bit_256.bmp": bmp(4, 2, 8),
    "8bit_16used.bmp": bmp(5, 3, 8, used=16),
    "24bit.bmp": bmp(3, 3, 24),
    "32bit_topdown.bmp": bmp(2, -2, 32),
    "1bit.bmp": bmp(9, 2, 1),
    "4bit.bmp": bmp(5, 3, 4),
    "rle8.bmp": bmp(4, 2, 8, compression=1, pixels=rle8, size_image=len(rle8)),
    "rle4.bmp": bmp(4, 3, 4, compression=2, pixels=rle4, size_image=len(rle4)),
    "16bit_masks.bmp": bmp(3, 2, 16, compression=3, masks=masks16),
    "os2_8bit.bmp": os2(4, 2, 8),
    "os2_24bit.bmp": os2(3, 2, 24),
    "v4_24bit.bmp": bmp(2, 2, 24, header_size=108),
    "v4_16bit_masks_used.bmp": bmp(3, 2, 16, compression=3, masks=masks16, used=2, header_size=108),
    "v5_32bit_alpha.bmp": bmp(2, -3, 32, compression=3, masks=masks32, header_size=124),
    "v5_rle8.bmp": bmp(4, 2, 8, compression=1, pixels=rle8, size_image=len(rle8), header_size=124),
    "v5_cut.bmp": bmp(2, 2, 32, compression=3, masks=masks32, header_size=124)[:100],
    "v3_56.bmp": bmp(2, 2, 32, compression=3, masks=masks32, header_size=56),
    "truncated.bmp": bmp(8, 8, 8)[:600],
    "not_a_bitmap.txt": b"velomass: not a bitmap\n",
}
os.makedirs("seeds", exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join("seeds", name), "wb") as f:
        f.write(data)
