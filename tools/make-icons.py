#!/usr/bin/env python3
"""Draws the program's two icons (32x32, 32-bit) as .ico files.

Run once when the artwork changes; the .ico files are kept in src/resources.
  128: the program icon (a cube outline on a blue field)
  301: the wizard's icon (the same cube on green)
"""
import struct
import sys


def icon(background, path):
    size = 32
    pixels = []
    for y in range(size - 1, -1, -1):          # bottom-up rows
        for x in range(size):
            inside = 8 <= x <= 23 and 8 <= y <= 23
            edge = inside and (x in (8, 23) or y in (8, 23) or x == y)
            if edge:
                pixels.append((255, 255, 255, 255))
            else:
                b, g, r = background
                pixels.append((b, g, r, 255))
    xor = b"".join(struct.pack("BBBB", *p) for p in pixels)
    and_mask = b"\x00" * (4 * size)               # 32 rows of 4 bytes
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    ico = struct.pack("<HHH", 0, 1, 1)
    ico += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(ico + image)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "src/resources"
    icon((160, 80, 20), f"{out}/program.ico")
    icon((40, 140, 40), f"{out}/wizard.ico")
