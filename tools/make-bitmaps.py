#!/usr/bin/env python3
"""Writes the four small pictures of the folder list and the drive selector as 4-bit BMP files.

Each picture is drawn from an ASCII map, one character per pixel. '.' is the picture's
transparent colour (the controls leave out the colour of the bottom-left pixel), so it surrounds
the picture and is never used inside it. Files: BITMAPFILEHEADER, BITMAPINFOHEADER, the standard
16-colour palette, bottom-up rows padded to 4 bytes.

Deterministic: standard library only. Usage: make-bitmaps.py [output folder]
"""

import os
import struct
import sys

# The standard 16-colour palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (128, 128, 128),
    (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
OLIVE, BLUE, WHITE = 3, 12, 15

# Map characters to palette indices ('.' is added per picture).
INK = {
    "K": 0,   # black outline
    "G": 10,  # lime (lamp)
    "D": 7,   # grey shadow
    "S": 8,   # silver
    "Y": 11,  # yellow
    "W": 15,  # white highlight
}

CLOSED_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KYYYYYK.........",
    "KYYYYYYKKKKKKKK.",
    "KWWWWWWWWWWWWWYK",
    "KWYYYYYYYYYYYYDK",
    "KWYYYYYYYYYYYYDK",
    "KWYYYYYYYYYYYYDK",
    "KWYYYYYYYYYYYYDK",
    "KWYYYYYYYYYYYYDK",
    "KYDDDDDDDDDDDDDK",
    "KKKKKKKKKKKKKKKK",
    "................",
    "................",
]

OPEN_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KYYYYYK.........",
    "KYYYYYYKKKKKKK..",
    "KYYYYYYYYYYYYK..",
    "KYYYKKKKKKKKKKKK",
    "KYYKWWWWWWWWWWK.",
    "KYKWYYYYYYYYYK..",
    "KKWYYYYYYYYYDK..",
    "KWYYYYYYYYYDK...",
    "KDDDDDDDDDDDK...",
    "KKKKKKKKKKKK....",
    "................",
    "................",
]

FIXED_DRIVE = [
    "................",
    ".KKKKKKKKKKKKKK.",
    "KWWWWWWWWWWWWWWK",
    "KWSSSSSSSSSSSSDK",
    "KWSDDDDDDDSSSSDK",
    "KWSSSSSSSSSSSSDK",
    "KWSSSSSSSSSSGSDK",
    "KDDDDDDDDDDDDDDK",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
]

REMOVABLE_DRIVE = [
    "................",
    ".KKKKKKKKKKKKKK.",
    "KSSSSSSSSSSSSSDK",
    "KSSSSSSSSSSSSSDK",
    "KSSKKKKKKKKKSSDK",
    "KSSSSSSSSSSSGSDK",
    "KDDDDDDDDDDDDDDK",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
]

PICTURES = [
    ("openfolder.bmp", OPEN_FOLDER, OLIVE),
    ("closedfolder.bmp", CLOSED_FOLDER, OLIVE),
    ("fixeddrive.bmp", FIXED_DRIVE, BLUE),
    ("removabledrive.bmp", REMOVABLE_DRIVE, WHITE),
]


def bmp(rows, transparent):
    width, height = len(rows[0]), len(rows)
    colours = dict(INK, **{".": transparent})
    for row in rows:
        assert len(row) == width, row
    # Inside the picture the transparent colour would punch holes.
    assert all(colours[c] != transparent for row in rows for c in row if c != "."), rows
    assert rows[-1][0] == "."
    stride = (width * 4 + 31) // 32 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, c in enumerate(row):
            line[x // 2] |= colours[c] << (4 if x % 2 == 0 else 0)
        pixels += line
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + table + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    for name, rows, transparent in PICTURES:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bmp(rows, transparent))


if __name__ == "__main__":
    main()
