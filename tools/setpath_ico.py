#!/usr/bin/env python3
"""Writes src/6-app/setpath.ico, the Set Path dialog's window icon: a 32 by
32, 16-colour picture of a yellow folder under a magnifying glass.

Run from the project root after changing the picture: python3 tools/setpath_ico.py
"""
import struct
import sys

# The 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One character per pixel, top row first; '.' is transparent.
KEY = {'K': 0, 'o': 3, 'Y': 11, 'W': 15, 'g': 7, 'G': 8, 'c': 14, 'b': 12, 'n': 4}

PICTURE = [
    "................................",
    "................................",
    "................................",
    "................................",
    "..oooooooo......................",
    ".oYYYYYYYYo.....................",
    ".oYWWWWWWYYoooooooooooooo.......",
    ".oYWYYYYYYYYYYYYYYYYYYYYYo......",
    ".oYYYYYYYYYYYYYYYYYYYYYYYo......",
    ".oooooooooooooooooooooooooooo...",
    ".oYWWWWWWWWWWWWWWWWWWWWWWWWWo...",
    ".oYWYYYYYYYYYYYYYYYYYYYYYYYYo...",
    ".oYYYYYYYYYYYYYYYYKKKKYYYYYYo...",
    ".oYYYYYYYYYYYYYYYKcWcnKYYYYYo...",
    ".oYYYYYYYYYYYYYYKcWccccKYYYYo...",
    ".oYYYYYYYYYYYYYKcWcccccnKYYYo...",
    ".oYYYYYYYYYYYYYKcWcccccnKYYYo...",
    ".oYYYYYYYYYYYYYKccccccnnKYYYo...",
    ".oYYYYYYYYYYYYYKcccccnnnKYYYo...",
    ".oYYYYYYYYYYYYYYKccnnnnKYYYYo...",
    ".oYYYYYYYYYYYYYYGKnnnnKKYYYYo...",
    ".oYYYYYYYYYYYYYGKGKKKKKYKYYYo...",
    ".oYYYYYYYYYYYYGKGYYYYYYYYYYYo...",
    ".oYYYYYYYYYYYGKGYYYYYYYYYYYYo...",
    ".oYYYYYYYYYYGKGYYYYYYYYYYYYYo...",
    ".oYYYYYYYYYGKGYYYYYYYYYYYYYYo...",
    ".oYYYYYYYYYKKYYYYYYYYYYYYYYYo...",
    ".oooooooooooooooooooooooooooo...",
    "................................",
    "................................",
    "................................",
    "................................",
]


def main():
    assert len(PICTURE) == 32 and all(len(row) == 32 for row in PICTURE)
    xor = b""
    mask = b""
    for row in reversed(PICTURE):  # bitmaps are stored bottom row first
        indexes = [KEY.get(c, 0) for c in row]
        xor += bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, 32, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == '.' else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    output = sys.argv[1] if len(sys.argv) > 1 else "src/6-app/setpath.ico"
    with open(output, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main()
