#!/usr/bin/env python3
"""Makes the pictures of the demo game: 8-bit PCX files, the first with the game's palette.

    DEMO.PCX    64 x 64 stone tile, and the 256 colours of the game
    SKY.PCX    128 x 64 sky with a few clouds
    WOOD.PCX    32 x 64 a wooden pillar
    DIGITS.PCX  80 x 8  the digits 0 to 9 as 8 x 8 glyphs

Run it in this folder; it overwrites the files.
"""

import struct


def palette():
    colours = [(0, 0, 0)]
    colours += [(i * 17, i * 17, i * 17) for i in range(1, 16)]           # 1..15 greys
    colours += [(200 - i * 11, 190 - i * 11, 170 - i * 10) for i in range(16)]  # 16..31 stone, light to dark
    colours += [(120 - i * 6, 170 - i * 8, 250 - i * 10) for i in range(16)]    # 32..47 sky
    colours += [(190 - i * 9, 120 - i * 6, 60 - i * 3) for i in range(16)]      # 48..63 wood
    while len(colours) < 256:
        i = len(colours)
        colours.append(((i * 5) & 255, (i * 3) & 255, (i * 7) & 255))
    return colours


def encode_row(row):
    out = bytearray()
    i = 0
    while i < len(row):
        run = 1
        while i + run < len(row) and row[i + run] == row[i] and run < 63:
            run += 1
        if run > 1 or row[i] >= 0xC0:
            out += bytes((0xC0 | run, row[i]))
        else:
            out.append(row[i])
        i += run
    return out


def write_pcx(name, width, height, pixel, with_palette):
    line = width + (width & 1)
    header = struct.pack('<BBBBHHHHHH', 0x0A, 5, 1, 8, 0, 0, width - 1, height - 1, 72, 72)
    header += bytes(48) + bytes((0, 1)) + struct.pack('<HH', line, 1)
    header += bytes(128 - len(header))
    body = bytearray()
    for y in range(height):
        row = [pixel(x, y) for x in range(width)] + [0] * (line - width)
        body += encode_row(row)
    with open(name, 'wb') as f:
        f.write(header)
        f.write(body)
        if with_palette:
            f.write(bytes((0x0C,)))
            for r, g, b in palette():
                f.write(bytes((r, g, b)))


def stone(x, y):
    # Blocks of 32 x 16 with mortar lines, shaded by a small hash.
    shift = 16 if (y // 16) % 2 else 0
    if y % 16 == 0 or (x + shift) % 32 == 0:
        return 27
    return 16 + ((x * 7 + y * 13 + (x // 8) * 5) % 6)


def sky(x, y):
    cloud = ((x - 40) ** 2) // 6 + ((y - 20) ** 2) < 90 or ((x - 96) ** 2) // 4 + (y - 34) ** 2 < 60
    return 3 if cloud else 32 + y // 5


def wood(x, y):
    if x < 2 or x > 29:
        return 62
    return 48 + ((x * 3 + (y // 4)) % 8)


GLYPHS = [
    ["0111", "1001", "1011", "1101", "1001", "1001", "0110"],
    ["0010", "0110", "0010", "0010", "0010", "0010", "0111"],
    ["0110", "1001", "0001", "0010", "0100", "1000", "1111"],
    ["1110", "0001", "0001", "0110", "0001", "0001", "1110"],
    ["0010", "0110", "1010", "1111", "0010", "0010", "0010"],
    ["1111", "1000", "1110", "0001", "0001", "1001", "0110"],
    ["0110", "1000", "1110", "1001", "1001", "1001", "0110"],
    ["1111", "0001", "0010", "0010", "0100", "0100", "0100"],
    ["0110", "1001", "1001", "0110", "1001", "1001", "0110"],
    ["0110", "1001", "1001", "0111", "0001", "0001", "0110"],
]


def digits(x, y):
    glyph, gx = divmod(x, 8)
    if gx < 2 or gx >= 6 or y >= 7:
        return 0
    return 15 if GLYPHS[glyph][y][gx - 2] == '1' else 0


if __name__ == '__main__':
    write_pcx('DEMO.PCX', 64, 64, stone, True)
    write_pcx('SKY.PCX', 128, 64, sky, True)
    write_pcx('WOOD.PCX', 32, 64, wood, True)
    write_pcx('DIGITS.PCX', 80, 8, digits, True)
