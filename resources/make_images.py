#!/usr/bin/env python3
"""Makes the program icon and the button glyphs from their editable sources.

Glyphs: art/NAME.txt, one character per pixel in the 16-colour palette below ('.' is the
transparent colour). Each becomes NAME.bmp holding the normal picture and, to its right, the
greyed outline drawn while the button is disabled; the bottom-left pixel is transparent.
Icon: drawn here (a grey wastebasket, papers sticking out, a green recycling mark), written
as a 16-colour vantrell.ico whose 32 x 32 picture is the design, with the same picture at
16, 24, 48 and 64 pixels (whole source pixels, never blended) for other screen resolutions,
and as the help page's help.png (8-bit palette).  Run: python3 make_images.py [output-directory]
"""
import os
import struct
import sys

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRANSPARENT = (0xFF, 0x00, 0xFF)
GREY, WHITE = PALETTE[8], PALETTE[15]
HERE = os.path.dirname(os.path.abspath(__file__))


def read_art(path):
    rows = [line.rstrip("\n") for line in open(path) if line.strip()]
    size = len(rows)
    if any(len(r) != size for r in rows):
        raise SystemExit(f"{path}: every row must be {size} pixels wide")
    return [[None if c == "." else PALETTE[int(c, 16)] for c in r] for r in rows]


def greyed(pixels):
    """The disabled picture: dark pixels as a grey outline with a white shadow."""
    size = len(pixels)
    out = [[None] * size for _ in range(size)]
    dark = lambda p: p is not None and sum(p) < 0x180
    for y in range(size):
        for x in range(size):
            if dark(pixels[y][x]) and y + 1 < size and x + 1 < size:
                out[y + 1][x + 1] = WHITE
    for y in range(size):
        for x in range(size):
            if dark(pixels[y][x]):
                out[y][x] = GREY
    return out


def bmp24(pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for p in row:
            r, g, b = p if p is not None else TRANSPARENT
            line += bytes((b, g, r))
        body += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(body), 0, 0, 54) + header + body


def draw_icon():
    """A 32 x 32 picture as palette indices, None for transparent."""
    img = [[None] * 32 for _ in range(32)]

    def put(x, y, c):
        if 0 <= x < 32 and 0 <= y < 32:
            img[y][x] = c

    # Papers sticking out of the top.
    for y in range(2, 12):
        for x in range(9, 16):
            put(x + (11 - y) // 4, y, 15 if x not in (9, 15) else 0)
    for y in range(4, 12):
        for x in range(17, 23):
            put(x - (11 - y) // 5, y, 15 if x not in (17, 22) else 0)
    for x in range(11, 14):
        put(x, 5, 8)
    # The basket: a trapezoid narrowing downwards, with a rim and ribs.
    for y in range(10, 31):
        inset = (y - 10) // 5
        left, right = 5 + inset, 26 - inset
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (10, 30)
            rib = (x - left) % 4 == 0
            put(x, y, 0 if edge else (8 if rib else 7))
    for x in range(4, 28):
        put(x, 9, 0)
        put(x, 11, 0)
        put(x, 10, 15)
    # The recycling mark: three green arrows round a triangle.
    mark = [
        "....22....",
        "...2AA2...",
        "..2A22A2..",
        ".2A2..2A2.",
        "2A2....2A2",
        "2A2....2A2",
        ".2AA22AA2.",
        "..222222..",
    ]
    for dy, row in enumerate(mark):
        for dx, c in enumerate(row):
            if c != ".":
                put(11 + dx, 17 + dy, int(c, 16))
    return img


def scaled(indices, size):
    """The picture at another size, each pixel taken from the nearest source pixel."""
    source = len(indices)
    return [[indices[y * source // size][x * source // size] for x in range(size)] for y in range(size)]


ICON_SIZES = (16, 24, 32, 48, 64)


def ico_image(indices):
    size = len(indices)
    xor = bytearray()
    for row in reversed(indices):
        for x in range(0, size, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        xor += b"\0" * ((-len(xor)) % 4)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(indices):
        bits = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return header + palette + xor + mask


def ico16(indices):
    """A 16-colour icon file holding the picture at every size of ICON_SIZES."""
    images = [ico_image(indices if size == len(indices) else scaled(indices, size)) for size in ICON_SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(ICON_SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def png8(indices):
    """The help page's picture: the icon as an 8-bit palette PNG, index 16 transparent."""
    import zlib

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    size = len(indices)
    raw = b"".join(b"\0" + bytes(16 if c is None else c for c in row) for row in indices)
    palette = b"".join(bytes(rgb) for rgb in PALETTE) + bytes((0xFF, 0xFF, 0xCC))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)) +
            chunk(b"PLTE", palette) + chunk(b"tRNS", b"\xff" * 16 + b"\0") +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "generated")
    os.makedirs(out, exist_ok=True)
    art = os.path.join(HERE, "art")
    for name in sorted(os.listdir(art)):
        if name.endswith(".txt"):
            pixels = read_art(os.path.join(art, name))
            both = [n + d for n, d in zip(pixels, greyed(pixels))]
            if both[-1][0] is not None:
                raise SystemExit(f"{name}: the bottom-left pixel must be transparent")
            with open(os.path.join(out, name[:-4] + ".bmp"), "wb") as f:
                f.write(bmp24(both))
    with open(os.path.join(out, "vantrell.ico"), "wb") as f:
        f.write(ico16(draw_icon()))
    with open(os.path.join(out, "help.png"), "wb") as f:
        f.write(png8(draw_icon()))


if __name__ == "__main__":
    main()
