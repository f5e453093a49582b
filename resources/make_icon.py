#!/usr/bin/env python3
"""Draws Velmora's icon, a small robot head, and writes it as velmora.ico.

The icon holds a 32 x 32 and a 16 x 16 image, each a 256-colour (8 bits per pixel)
bitmap with a transparency mask. Run it again after changing the picture:
    python3 resources/make_icon.py
"""
import pathlib
import struct

BACKGROUND = None                 # transparent
FRAME = (0x1F, 0x3A, 0x5F)       # dark blue outline
HEAD = (0xD8, 0xDE, 0xE6)        # light steel
FACE = (0x2B, 0x30, 0x38)        # dark visor
EYE = (0x36, 0xD6, 0xF2)         # cyan eyes
ANTENNA = (0xF2, 0x8C, 0x28)     # orange tip


def inside_rounded(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def pixel(u, v):
    """The colour at (u, v) in a unit square, (0, 0) top left; None is transparent."""
    if (u - 0.5) ** 2 + (v - 0.08) ** 2 <= 0.07 ** 2:
        return ANTENNA
    if abs(u - 0.5) <= 0.035 and 0.08 <= v <= 0.24:
        return FRAME
    if inside_rounded(u, v, 0.08, 0.22, 0.92, 0.94, 0.16):
        if not inside_rounded(u, v, 0.13, 0.27, 0.87, 0.89, 0.12):
            return FRAME
        if inside_rounded(u, v, 0.2, 0.38, 0.8, 0.72, 0.08):
            for eye_x in (0.35, 0.65):
                if (u - eye_x) ** 2 + (v - 0.55) ** 2 <= 0.085 ** 2:
                    return EYE
            return FACE
        if 0.36 <= u <= 0.64 and 0.78 <= v <= 0.82:
            return FRAME
        return HEAD
    return BACKGROUND


def draw(size, samples=4):
    """Each pixel takes the colour that most of its sub-samples hit."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            votes = {}
            for sy in range(samples):
                for sx in range(samples):
                    colour = pixel((x + (sx + 0.5) / samples) / size,
                                   (y + (sy + 0.5) / samples) / size)
                    votes[colour] = votes.get(colour, 0) + 1
            row.append(max(votes, key=votes.get))
        rows.append(row)
    return rows


def bitmap(rows):
    """An 8-bit DIB for an icon: header, 256-entry palette, colour rows, then AND mask."""
    size = len(rows)
    palette = [(0, 0, 0)]
    for row in rows:
        for colour in row:
            if colour is not None and colour not in palette:
                palette.append(colour)
    palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    pixels = b''
    mask = b''
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # DIBs are stored bottom-up
        pixels += bytes(0 if c is None else palette.index(c) for c in row)
        bits = 0
        for x, colour in enumerate(row):
            if colour is None:
                bits |= 1 << (size - 1 - x)
        mask += bits.to_bytes(size // 8, 'big').ljust(mask_stride, b'\0')
    return header + colours + pixels + mask


def icon(sizes):
    images = [bitmap(draw(size)) for size in sizes]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    for size, image in zip(sizes, images):
        entries += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    return directory + entries + b''.join(images)


if __name__ == '__main__':
    target = pathlib.Path(__file__).with_name('velmora.ico')
    target.write_bytes(icon([32, 16]))
    print(target)
