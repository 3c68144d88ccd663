#!/usr/bin/env python3
"""Writes VEXA's program icon: resources/icons/vexa.svg and the PNG sizes of the hicolor theme.

The icon is a disc case seen from the front: a dark case, a cover insert with a title band,
and a disc lying on it. The shapes are listed once below; the SVG is written from them and
the PNGs are drawn from the same list with 4 x 4 samples per pixel. Run it again after
changing a shape and commit the results together with this script.
"""
import struct
import sys
import zlib
from pathlib import Path

CANVAS = 256
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
SAMPLES = 4

# ("rect", x, y, width, height, corner radius, colour) or ("circle", cx, cy, r, colour),
# painted in this order.
SHAPES = [
    ("rect", 28, 12, 200, 232, 22, "#1d3557"),   # the case
    ("rect", 44, 28, 168, 200, 10, "#f1faee"),   # the cover insert
    ("rect", 44, 28, 168, 34, 10, "#e76f51"),    # its title band (rounded top)
    ("rect", 44, 46, 168, 16, 0, "#e76f51"),     # squares the band's lower corners
    ("circle", 128, 146, 68, "#8ecae6"),         # the disc
    ("circle", 128, 146, 52, "#a8dadc"),         # its data area
    ("circle", 128, 146, 22, "#f1faee"),         # the clamping ring
    ("circle", 128, 146, 9, "#1d3557"),          # the hole
]


def colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def svg():
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{CANVAS}" height="{CANVAS}" '
             f'viewBox="0 0 {CANVAS} {CANVAS}">']
    for shape in SHAPES:
        if shape[0] == "rect":
            _, x, y, w, h, r, fill = shape
            parts.append(f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" ry="{r}" '
                         f'fill="{fill}"/>')
        else:
            _, cx, cy, r, fill = shape
            parts.append(f'  <circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def inside(shape, x, y):
    if shape[0] == "circle":
        _, cx, cy, r, _ = shape
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    _, rx, ry, w, h, r, _ = shape
    if not (rx <= x <= rx + w and ry <= y <= ry + h):
        return False
    # Inside the rectangle: only the corner squares need the distance test.
    nx = min(max(x, rx + r), rx + w - r)
    ny = min(max(y, ry + r), ry + h - r)
    return (x - nx) ** 2 + (y - ny) ** 2 <= r * r


def bounds(shape):
    if shape[0] == "circle":
        _, cx, cy, r, _ = shape
        return cx - r, cy - r, cx + r, cy + r
    _, x, y, w, h, _, _ = shape
    return x, y, x + w, y + h


def render(size):
    scale = CANVAS / size
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied RGBA, 0..1
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    for shape in SHAPES:
        red, green, blue = (c / 255 for c in colour(shape[-1]))
        x0, y0, x1, y1 = bounds(shape)
        for py in range(max(0, int(y0 / scale)), min(size, int(y1 / scale) + 1)):
            for px in range(max(0, int(x0 / scale)), min(size, int(x1 / scale) + 1)):
                hits = sum(inside(shape, (px + ox) * scale, (py + oy) * scale)
                           for oy in offsets for ox in offsets)
                if not hits:
                    continue
                a = hits / (SAMPLES * SAMPLES)
                p = pixels[py * size + px]
                pixels[py * size + px] = [red * a + p[0] * (1 - a), green * a + p[1] * (1 - a),
                                          blue * a + p[2] * (1 - a), a + p[3] * (1 - a)]
    rows = bytearray()
    for py in range(size):
        rows.append(0)  # filter type None
        for px in range(size):
            r, g, b, a = pixels[py * size + px]
            straight = [c / a if a else 0.0 for c in (r, g, b)]
            rows += bytes(round(min(1.0, c) * 255) for c in (*straight, a))
    return png(size, bytes(rows))


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    folder = Path(__file__).resolve().parent.parent / "resources" / "icons"
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "vexa.svg").write_text(svg())
    for size in SIZES:
        (folder / f"vexa-{size}.png").write_bytes(render(size))
    print(f"wrote {folder}/vexa.svg and {len(SIZES)} PNG sizes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
