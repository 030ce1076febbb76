#!/usr/bin/env python3
"""Draws the application icon and writes it as a .ico file.

Two 16-colour images (4 bits per pixel, the standard 16-colour palette), each with
its transparency mask:
  32 x 32: a diamond on a transparent ground, in four quarters: red upper left,
           green upper right, yellow lower left, blue lower right, each dotted with
           a darker shade of its colour.
  16 x 16: a mottled square of the same four colours with a few navy, black and
           white pixels; no transparent pixel, no diamond.
"""
import random
import struct
import sys

# The standard 16-colour palette, as (blue, green, red, 0) quads in index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, DARK_GREEN, OLIVE, NAVY = 0, 1, 2, 3, 4
RED, GREEN, YELLOW, BLUE, WHITE = 9, 10, 11, 12, 15

# Each quarter's colour and the darker shade of its dots.
QUARTERS = {
    (0, 0): (RED, DARK_RED),
    (1, 0): (GREEN, DARK_GREEN),
    (0, 1): (YELLOW, OLIVE),
    (1, 1): (BLUE, NAVY),
}


def diamond(size=32):
    """Pixels as rows of (colour index, transparent) from the top row down."""
    half = size / 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            inside = abs(x + 0.5 - half) + abs(y + 0.5 - half) <= half
            if not inside:
                row.append((BLACK, True))
                continue
            base, dark = QUARTERS[(int(x >= half), int(y >= half))]
            dotted = (x % 4 == 1 and y % 4 == 1) or (x % 4 == 3 and y % 4 == 3)
            row.append((dark if dotted else base, False))
        rows.append(row)
    return rows


def mottled_square(size=16):
    rnd = random.Random(1998)
    half = size // 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            base, dark = QUARTERS[(int(x >= half), int(y >= half))]
            row.append((dark if rnd.random() < 0.35 else base, False))
        rows.append(row)
    for (x, y), colour in {(3, 12): NAVY, (12, 3): NAVY, (7, 8): BLACK, (8, 7): BLACK,
                           (5, 5): WHITE, (10, 10): WHITE}.items():
        rows[y][x] = (colour, False)
    return rows


def dib(rows):
    """A 4-bit DIB with its AND mask, as an .ico stores an image."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIBs run bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, (colour, transparent) in enumerate(row):
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def ico(images):
    count = len(images)
    directory = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    entries = b""
    data = b""
    for rows in images:
        blob = dib(rows)
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset + len(data))
        data += blob
    return directory + entries + data


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(ico([diamond(32), mottled_square(16)]))


if __name__ == "__main__":
    main()
