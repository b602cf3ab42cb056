#!/usr/bin/env python3
"""Draws Velmora's icon and writes it in the forms the build uses.

The picture: a classic window (navy title bar, silver body) with a green arrow
carrying something over, for a patch that copies values from one place to
another. 32 x 32 pixels in the 16 standard Windows colours.

Writes, next to this script:
  Velmora.ico             the icon as a file, for viewing
  Velmora-icon.bin        the image alone, stored as icon resource 30001
  Velmora-icon-group.bin  the icon group directory, stored as group resource 1

Run it again after changing the picture, and commit what it writes.
"""

import pathlib
import struct

SIZE = 32
ICON_ID = 30001  # keep in step with resources/ResourceIds.h

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, NAVY, SILVER, GRAY, LIME, WHITE = 0, 2, 4, 7, 8, 10, 15
CLEAR = None


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                pixels[y][x] = colour

    fill(3, 4, 31, 30, GRAY)          # shadow
    fill(1, 2, 29, 28, BLACK)         # frame
    fill(2, 3, 28, 7, NAVY)           # title bar
    fill(3, 4, 13, 5, WHITE)          # caption
    fill(25, 4, 27, 6, SILVER)        # close box
    fill(2, 8, 28, 27, SILVER)        # body
    fill(2, 8, 28, 8, WHITE)          # body's lit edge
    # The arrow: a shaft and a head, outlined in dark green.
    fill(5, 15, 17, 20, GREEN)
    fill(6, 16, 17, 19, LIME)
    for step in range(9):
        fill(17 + step, 9 + step, 17 + step, 26 - step, GREEN)
        if step < 8:
            fill(17 + step, 10 + step, 17 + step, 25 - step, LIME)
    return pixels


def image_bytes(pixels):
    """The icon image as Windows stores it: a BITMAPINFOHEADER of double
    height, the palette, the colour rows and the transparency mask, bottom row
    first."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    colours = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        for x in range(0, SIZE, 2):
            high, low = (c or 0 for c in row[x:x + 2])
            colours.append(high << 4 | low)
        bits = 0
        for x, colour in enumerate(row):
            if colour is CLEAR:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    header = header[:20] + struct.pack("<I", len(colours) + len(mask)) + header[24:]
    return header + palette + bytes(colours) + bytes(mask)


def main():
    here = pathlib.Path(__file__).resolve().parent
    image = image_bytes(draw())
    entry = struct.pack("<BBBBHHI", SIZE, SIZE, 16, 0, 1, 4, len(image))
    directory = struct.pack("<HHH", 0, 1, 1)
    (here / "Velmora.ico").write_bytes(directory + entry + struct.pack("<I", 22) + image)
    (here / "Velmora-icon.bin").write_bytes(image)
    (here / "Velmora-icon-group.bin").write_bytes(directory + entry + struct.pack("<H", ICON_ID))


if __name__ == "__main__":
    main()
