#!/usr/bin/env python3
"""Draws the program's icon and splash picture and writes them as Windows
image files: "parrot.ico" (icon 128: 32x32 and 16x16, 16 colours each) and
"splash.bmp" (bitmap 129: 185x257, 8 bits per pixel, 256-entry palette,
uncompressed). Both pictures are drawn here from simple shapes, so the
files can be remade at any time:

    python3 resources/make_resources.py [OUTPUT_FOLDER]

With --preview FOLDER it also writes PNG copies, to look at them.
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SPLASH_WIDTH = 185
SPLASH_HEIGHT = 257


# ---------------------------------------------------------------- shapes

def in_ellipse(x, y, cx, cy, rx, ry, angle=0.0):
    """Position inside a rotated ellipse as (normalised x, normalised y),
    or None when outside."""
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    u = (dx * c + dy * s) / rx
    v = (-dx * s + dy * c) / ry
    if u * u + v * v > 1.0:
        return None
    return u, v


def lit(u, v, rotation=0.0):
    """Brightness 0..1 of a rounded surface at normalised position (u, v),
    lit from the upper left."""
    c, s = math.cos(rotation), math.sin(rotation)
    nx, ny = u * c - v * s, u * s + v * c
    nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
    light = (-0.45, -0.55, 0.70)
    value = nx * light[0] + ny * light[1] + nz * light[2]
    return max(0.0, min(1.0, 0.18 + 0.82 * value))


def distance_to_segment(x, y, ax, ay, bx, by):
    """Distance from a point to a segment and the position along it (0..1)."""
    vx, vy = bx - ax, by - ay
    t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
    t = max(0.0, min(1.0, t))
    px, py = ax + t * vx, ay + t * vy
    return math.hypot(x - px, y - py), t


# ------------------------------------------------------- splash picture

# The 256-entry palette: ramps of 32 shades, dark to light, one per material.
RAMPS = {
    "sky": ((20, 60, 140), (250, 236, 190)),
    "red": ((70, 0, 10), (255, 120, 90)),
    "yellow": ((110, 70, 0), (255, 240, 120)),
    "blue": ((5, 20, 80), (110, 190, 255)),
    "green": ((5, 45, 15), (150, 220, 90)),
    "brown": ((40, 20, 5), (180, 125, 70)),
    "grey": ((0, 0, 0), (255, 255, 255)),
    "beak": ((30, 30, 35), (235, 230, 215)),
}
RAMP_ORDER = ["sky", "red", "yellow", "blue", "green", "brown", "grey", "beak"]
SHADES = 32


def splash_palette():
    palette = []
    for name in RAMP_ORDER:
        (r0, g0, b0), (r1, g1, b1) = RAMPS[name]
        for i in range(SHADES):
            t = i / (SHADES - 1)
            palette.append((round(r0 + (r1 - r0) * t),
                            round(g0 + (g1 - g0) * t),
                            round(b0 + (b1 - b0) * t)))
    return palette


def colour(material, brightness):
    shade = round(max(0.0, min(1.0, brightness)) * (SHADES - 1))
    return RAMP_ORDER.index(material) * SHADES + shade


def splash_pixel(x, y):
    """Palette index of one pixel of the splash picture: a scarlet parrot
    perched on a branch against an evening sky."""
    px, py = x + 0.5, y + 0.5

    # Eye: black pupil, yellow iris, white bare skin around it.
    if math.hypot(px - 112, py - 60) < 3.2:
        return colour("grey", 0.05)
    if math.hypot(px - 112, py - 60) < 5.5:
        return colour("yellow", 0.85)
    patch = in_ellipse(px, py, 116, 66, 15, 12, -0.3)
    if patch:
        return colour("grey", 0.72 + 0.25 * lit(*patch))

    # Beak: the upper mandible is a hooked crescent, the lower one a wedge.
    upper = in_ellipse(px, py, 131, 72, 16, 17)
    if upper and px > 124 and math.hypot(px - 126, py - 86) > 11:
        return colour("beak", 0.3 + 0.65 * lit(*upper))
    lower = in_ellipse(px, py, 127, 86, 9, 7)
    if lower and px > 120:
        return colour("grey", 0.12 + 0.3 * lit(*lower))

    # Head.
    head = in_ellipse(px, py, 105, 66, 26, 24, -0.2)
    if head:
        return colour("red", lit(*head))

    # Feet around the branch.
    for fx in (86, 104):
        foot = in_ellipse(px, py, fx, 196, 7, 6)
        if foot:
            return colour("grey", 0.25 + 0.45 * lit(*foot))

    # Wing over the body: yellow coverts, green band, blue flight feathers.
    wing = in_ellipse(px, py, 84, 140, 21, 52, 0.28)
    if wing:
        u, v = wing
        brightness = lit(u, v)
        if v < -0.45:
            return colour("red", 0.9 * brightness)
        if v < -0.1:
            return colour("yellow", brightness)
        if v < 0.15:
            return colour("green", brightness)
        # Feather edges: faint stripes along the flight feathers.
        stripe = 0.85 if int((u + 1.0) * 5) % 2 == 0 else 1.0
        return colour("blue", brightness * stripe)

    # Body.
    body = in_ellipse(px, py, 94, 132, 31, 58, 0.18)
    if body:
        return colour("red", lit(*body))

    # Tail: long tapering feathers, red above and blue at the tip.
    distance, along = distance_to_segment(px, py, 84, 180, 60, 252)
    if distance < 13 * (1.0 - 0.75 * along):
        brightness = 0.8 - 0.5 * distance / 13
        return colour("red" if along < 0.45 else "blue", brightness)

    # Branch.
    distance, along = distance_to_segment(px, py, -10, 212, 195, 188)
    if distance < 8:
        grain = 0.08 * math.sin(px * 0.9 + py * 0.3)
        return colour("brown", 0.7 - 0.45 * distance / 8 + grain)

    # Leaves on the branch.
    for lx, ly, angle in ((30, 200, -0.9), (150, 180, 0.8), (165, 200, 2.2)):
        leaf = in_ellipse(px, py, lx, ly, 16, 6, angle)
        if leaf:
            vein = 0.75 if abs(leaf[1]) < 0.12 else 1.0
            return colour("green", (0.35 + 0.5 * lit(*leaf)) * vein)

    # Sky: dark blue at the top, pale at the horizon, with a low sun.
    sun = math.hypot(px - 40, py - 150)
    if sun < 22:
        return colour("yellow", 0.95)
    glow = max(0.0, 1.0 - sun / 70) * 0.25
    return colour("sky", py / SPLASH_HEIGHT * 0.95 + glow)


def splash_pixels():
    return [[splash_pixel(x, y) for x in range(SPLASH_WIDTH)]
            for y in range(SPLASH_HEIGHT)]


# ----------------------------------------------------------------- icon

# The 16 colours of the standard 16-colour palette.
ICON_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 1, 2, 7, 8, 9, 11, 12, 15


def icon_pixel(u, v):
    """Palette index of the icon at (u, v) in 0..1, or None where the icon
    is transparent: a parrot's head and shoulder in profile."""
    if math.hypot(u - 0.55, v - 0.33) < 0.06:
        return BLACK
    if in_ellipse(u, v, 0.57, 0.37, 0.14, 0.12):
        return WHITE
    upper = in_ellipse(u, v, 0.80, 0.42, 0.17, 0.17)
    if upper and u > 0.74 and math.hypot(u - 0.76, v - 0.58) > 0.11:
        return SILVER if v < 0.42 else GREY
    if in_ellipse(u, v, 0.74, 0.57, 0.09, 0.07) and u > 0.68:
        return BLACK
    head = in_ellipse(u, v, 0.46, 0.38, 0.30, 0.30)
    if head:
        return RED if head[0] + head[1] < 0.6 else MAROON
    wing = in_ellipse(u, v, 0.38, 0.80, 0.24, 0.20, 0.3)
    if wing:
        if wing[1] < -0.2:
            return YELLOW
        return BLUE if wing[1] > 0.35 else GREEN
    body = in_ellipse(u, v, 0.44, 0.78, 0.34, 0.24)
    if body:
        return RED if body[0] + body[1] < 0.5 else MAROON
    return None


def icon_image(size):
    """Rows of palette indexes (None = transparent), sampled at pixel centres."""
    return [[icon_pixel((x + 0.5) / size, (y + 0.5) / size) for x in range(size)]
            for y in range(size)]


# -------------------------------------------------------- file writers

def row_padding(byte_count):
    return b"\0" * (-byte_count % 4)


def bmp_info_header(width, height, bits, colours, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 2835, 2835, colours, colours)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def encode_bmp(pixels, palette):
    """An uncompressed 8-bit BMP file, rows stored bottom-up."""
    height, width = len(pixels), len(pixels[0])
    rows = b"".join(bytes(row) + row_padding(width) for row in reversed(pixels))
    info = bmp_info_header(width, height, 8, 256, len(rows))
    table = palette_bytes(palette + [(0, 0, 0)] * (256 - len(palette)))
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + table + rows


def icon_entry_image(pixels):
    """One 4-bit image of an icon: header, palette, colour rows, mask rows."""
    size = len(pixels)
    colour_rows = b""
    mask_rows = b""
    for row in reversed(pixels):
        indexes = [0 if p is None else p for p in row]
        packed = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, size, 2))
        colour_rows += packed + row_padding(len(packed))
        mask_bits = 0
        for p in row:
            mask_bits = (mask_bits << 1) | (1 if p is None else 0)
        mask = mask_bits.to_bytes(size // 8, "big")
        mask_rows += mask + row_padding(len(mask))
    info = bmp_info_header(size, size * 2, 4, 0, len(colour_rows) + len(mask_rows))
    return info + palette_bytes(ICON_PALETTE) + colour_rows + mask_rows


def encode_ico(images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    data = b""
    for pixels in images:
        size = len(pixels)
        image = icon_entry_image(pixels)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image),
                               offset + len(data))
        data += image
    return header + entries + data


def encode_png(rgb_rows):
    """A PNG of RGB rows, for previews."""
    height, width = len(rgb_rows), len(rgb_rows[0])
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rgb_rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(arguments):
    preview = None
    if len(arguments) >= 2 and arguments[0] == "--preview":
        preview = Path(arguments[1])
        arguments = arguments[2:]
    folder = Path(arguments[0]) if arguments else Path(__file__).resolve().parent

    palette = splash_palette()
    splash = splash_pixels()
    icons = [icon_image(32), icon_image(16)]
    (folder / "splash.bmp").write_bytes(encode_bmp(splash, palette))
    (folder / "parrot.ico").write_bytes(encode_ico(icons))

    if preview:
        preview.mkdir(parents=True, exist_ok=True)
        (preview / "splash.png").write_bytes(
            encode_png([[palette[i] for i in row] for row in splash]))
        for pixels in icons:
            scale = 256 // len(pixels)
            rows = [[(255, 255, 255) if p is None else ICON_PALETTE[p]
                     for p in row for _ in range(scale)]
                    for row in pixels for _ in range(scale)]
            (preview / f"icon{len(pixels)}.png").write_bytes(encode_png(rows))


if __name__ == "__main__":
    main(sys.argv[1:])
