#!/usr/bin/env python3
"""Draws the builder's artwork into a folder: the splash and About picture
(artwork.png, 300 x 200, 24-bit), the toolbar strip (toolbar.bmp, five 16 x 16
images on the button-face grey that the toolbar maps to the system colour)
and the program icon (kestrel.ico, 32 x 32 and 16 x 16)."""
import math
import struct
import sys
import zlib

# A kestrel in flight, in a 100 x 60 box: body, two swept wings, fanned tail.
BIRD = [
    [(30, 30), (50, 24), (72, 26), (80, 30), (72, 34), (50, 36)],  # body
    [(44, 26), (58, 25), (40, 2), (30, 6)],                      # upper wing
    [(46, 34), (60, 34), (44, 58), (34, 54)],                     # lower wing
    [(32, 30), (8, 20), (4, 30), (8, 40)],                        # tail
    [(72, 27), (86, 28), (92, 30), (86, 32), (72, 33)],           # head
]


def inside(polygon, x, y):
    hit = False
    j = len(polygon) - 1
    for i in range(len(polygon)):
        xi, yi = polygon[i]
        xj, yj = polygon[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def bird_at(x, y, left, top, scale):
    u = (x - left) / scale
    v = (y - top) / scale
    return any(inside(p, u, v) for p in BIRD)


def artwork():
    width, height = 300, 200
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            # Evening sky: deep blue above, warm near the horizon.
            t = y / (height - 1)
            r = int(40 + 190 * t * t)
            g = int(70 + 110 * t)
            b = int(150 + 40 * (1 - t))
            # Low hills along the bottom.
            hill = 165 + 12 * math.sin(x / 37.0) + 6 * math.sin(x / 11.0)
            if y > hill:
                r, g, b = 46, 82, 52
            # Sun behind the bird.
            if (x - 210) ** 2 + (y - 70) ** 2 < 38 ** 2:
                r, g, b = 250, 214, 120
            if bird_at(x, y, 70, 40, 1.7):
                r, g, b = 58, 36, 24
            row += bytes((r, g, b))
        rows.append(bytes(row))
    raw = b"".join(b"\x00" + row for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


# 16 x 16 images; '.' is the background, other letters the palette below.
TOOLBAR = [
    [  # New Project: a page with a folded corner
        "................", "...kkkkkkkk.....", "...kwwwwwwkk....", "...kwwwwwwkwk...",
        "...kwwwwwwkkkk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kkkkkkkkkkk..", "................"],
    [  # Open Project: a folder
        "................", "................", "................", ".kkkkk..........",
        "kyyyyyk.........", "kyyyyyykkkkkkk..", "kyyyyyyyyyyyyk..", "kyykkkkkkkkkkkkk",
        "kyykoooooooooook", "kykoooooooooook.", "kykoooooooooook.", "kkoooooooooook..",
        "kkoooooooooook..", "kkkkkkkkkkkkk...", "................", "................"],
    [  # Save Project: a diskette
        "................", ".kkkkkkkkkkkkkk.", ".kbbwwwwwwwwbbk.", ".kbbwwwwwwwwbbk.",
        ".kbbwwwwwwwwbbk.", ".kbbwwwwwwwwbbk.", ".kbbbbbbbbbbbbk.", ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbbk.", ".kbbkwwkkkkkbbk.", ".kbbkwwkkkkkbbk.", ".kbbkwwkkkkkbbk.",
        ".kbbkkkkkkkkbbk.", ".kkkkkkkkkkkkkk.", "................", "................"],
    [  # Export: a window with an arrow leaving it
        "................", "..........gg....", "..........ggg...", "..kkkkkkgggggg..",
        "..knnnnnggggggg.", "..knnnnnggggggg.", "..kwwwwwwwggg...", "..kwwwwwwwgg.k..",
        "..kwwwwwwwwwwk..", "..kwwwwwwwwwwk..", "..kwwwwwwwwwwk..", "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "................", "................"],
    [  # Help: a question mark in a blue disc
        "................", ".....bbbbbb.....", "...bbbbbbbbbb...", "..bbbwwwwwwbbb..",
        "..bbwwbbbbwwbb..", ".bbbbbbbbbwwbbb.", ".bbbbbbbbwwbbbb.", ".bbbbbbbwwbbbbb.",
        ".bbbbbbwwbbbbbb.", ".bbbbbbwwbbbbbb.", "..bbbbbbbbbbbb..", "..bbbbbwwbbbbb..",
        "...bbbbwwbbbb...", ".....bbbbbb.....", "................", "................"],
]
PALETTE = {
    ".": (192, 192, 192), "k": (0, 0, 0), "w": (255, 255, 255), "y": (240, 200, 60),
    "o": (250, 224, 120), "b": (40, 80, 180), "g": (30, 150, 60), "n": (20, 40, 120),
}


def bmp24(width, height, pixel):
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\x00" * (stride - len(row))
        data += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return info, bytes(data)


def toolbar():
    def pixel(x, y):
        return PALETTE[TOOLBAR[x // 16][y][x % 16]]
    info, data = bmp24(16 * len(TOOLBAR), 16, pixel)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def icon_image(size):
    def pixel(x, y):
        u, v = x / size, y / size
        if bird_at(u * 100, v * 100, 2, 18, 0.95):
            return (58, 36, 24)
        t = v
        return (int(60 + 180 * t), int(90 + 100 * t), int(190 - 40 * t))
    info, data = bmp24(size, size, pixel)
    # An icon's header counts the colour and mask rows together.
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\x00" * (mask_stride * size)  # every pixel opaque
    return info + data + mask


def icon():
    images = [icon_image(32), icon_image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    folder = sys.argv[1]
    for name, data in (("artwork.png", artwork()), ("toolbar.bmp", toolbar()),
                       ("kestrel.ico", icon())):
        with open(folder + "/" + name, "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
