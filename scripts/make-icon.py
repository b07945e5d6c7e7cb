#!/usr/bin/env python3
"""Draws the programs' icon, an umbrella, and writes it as a 32 x 32,
256-colour .ico (one image, 8 bits per pixel, with its transparency mask).

    scripts/make-icon.py [OUTPUT]     (default: common/res/ombrel.ico)

Plain Python 3, standard library only, and deterministic: the same script
always writes the same bytes, so the committed icon can be checked against it.
"""

import math
import struct
import sys
from pathlib import Path

SIZE = 32
SAMPLES = 4  # per pixel and axis: the edges of the shapes are smoothed

# Colours (red, green, blue).
OUTLINE = (28, 36, 84)
PANEL_DARK = (40, 82, 176)
PANEL_LIGHT = (112, 168, 232)
SHAFT = (88, 60, 40)
HANDLE = (150, 92, 48)
TIP = (220, 176, 64)

# The canopy: the upper half of an ellipse whose lower edge is scalloped
# between the ribs.
CX, CY = 15.5, 15.0
RX, RY = 14.5, 12.0
RIBS = 6  # panels across the canopy
SCALLOP = 1.6  # how far each panel's lower edge curves up


def canopy_bottom(x):
    """The y of the canopy's lower edge at x: arcs that meet at the ribs."""
    panel = 2 * RX / RIBS
    t = ((x - (CX - RX)) / panel) % 1.0
    return CY - SCALLOP * math.sin(math.pi * t)


def panel_of(x, y):
    """Which panel a point of the canopy belongs to: the ribs run straight
    from the tip down to the points where the scallops meet."""
    tip_y = CY - RY
    t = max(0.05, (y - tip_y) / (CY - tip_y))
    along = (x - CX) / t + RX  # where this point's rib line meets the lower edge
    return min(RIBS - 1, max(0, int(along / (2 * RX / RIBS))))


def in_canopy(x, y):
    if y > CY:
        return False
    if ((x - CX) / RX) ** 2 + ((y - CY) / RY) ** 2 > 1.0:
        return False
    return y <= canopy_bottom(x)


def colour_at(x, y):
    """The colour of one sample point, or None where the icon is clear."""
    # The tip above the canopy.
    if math.hypot(x - CX, y - 2.2) <= 1.3:
        return TIP
    if in_canopy(x, y):
        # The outline: near the ellipse or the scalloped lower edge.
        edge = 1.0 - math.hypot((x - CX) / RX, (y - CY) / RY)
        if edge * min(RX, RY) < 1.0 or canopy_bottom(x) - y < 1.0:
            return OUTLINE
        return PANEL_DARK if panel_of(x, y) % 2 == 0 else PANEL_LIGHT
    # The hook of the handle: a half ring below the shaft's end, open upwards.
    hook_cx, hook_cy, hook_r = CX - 2.6, 26.5, 2.6
    ring = abs(math.hypot(x - hook_cx, y - hook_cy) - hook_r)
    if y >= hook_cy and ring <= 0.95:
        return HANDLE
    if hook_cy - 1.2 < y < hook_cy and abs(x - (hook_cx - hook_r)) <= 0.95:
        return HANDLE  # the rounded end of the hook
    # The shaft, from under the canopy down to the hook.
    if abs(x - CX) <= 0.85 and CY <= y <= hook_cy:
        return SHAFT
    return None


def render():
    """Each pixel's colour (averaged over its samples) or None when fewer
    than half of its samples are covered."""
    pixels = []
    for row in range(SIZE):
        line = []
        for column in range(SIZE):
            covered = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at(column + (sx + 0.5) / SAMPLES, row + (sy + 0.5) / SAMPLES)
                    if c is not None:
                        covered.append(c)
            if len(covered) * 2 < SAMPLES * SAMPLES:
                line.append(None)
            else:
                line.append(tuple(round(sum(c[i] for c in covered) / len(covered)) for i in range(3)))
        pixels.append(line)
    return pixels


def palette():
    """256 colours: the 6 x 6 x 6 cube, then greys and the drawing's own
    colours, so its flat areas keep their exact shades."""
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [OUTLINE, PANEL_DARK, PANEL_LIGHT, SHAFT, HANDLE, TIP]
    grey = 8
    while len(colours) < 256:
        colours.append((grey, grey, grey))
        grey += 7
    return colours[:256]


def nearest(colours, colour):
    return min(range(len(colours)),
               key=lambda i: sum((colours[i][k] - colour[k]) ** 2 for k in range(3)))


def ico_bytes(pixels):
    colours = palette()
    # The image as a bottom-up DIB: colour indices, then the AND mask with one
    # bit per pixel (1 = clear), each row padded to four bytes.
    xor = bytearray()
    mask = bytearray()
    for line in reversed(pixels):
        for colour in line:
            xor.append(0 if colour is None else nearest(colours, colour))
        bits = 0
        for column, colour in enumerate(line):
            if colour is None:
                bits |= 1 << (31 - column)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    image = header + table + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = Path(__file__).resolve().parent.parent
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "common" / "res" / "ombrel.ico"
    output.write_bytes(ico_bytes(render()))


if __name__ == "__main__":
    main()
