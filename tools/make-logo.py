#!/usr/bin/env python3
"""Draws the wizard's sidebar logo and writes it as resources/logo.png.

The picture: a vertical gradient in blues with a soft glow, a page with a folded corner, a
capital T and lines of text, and a quill whose nib finishes the last line. It is drawn with 4 x 4
supersampling, reduced to 256 colours by median cut, and written as the reader expects it:
120 x 260, 8-bit indexed colour, a 256-entry PLTE, one IDAT compressed at level 9 (header
78 DA), every row with filter type 0, and exactly the chunks IHDR, PLTE, IDAT, IEND.

Deterministic: standard library only, no randomness. Usage: make-logo.py [output path]
"""

import math
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 120, 260
SS = 4  # samples per pixel along each axis
SW, SH = WIDTH * SS, HEIGHT * SS


class Canvas:
    def __init__(self):
        self.r = [0.0] * (SW * SH)
        self.g = [0.0] * (SW * SH)
        self.b = [0.0] * (SW * SH)

    def background(self):
        top, bottom = (10, 32, 78), (64, 126, 204)
        glow_x, glow_y, glow_r = 60.0, 118.0, 95.0
        for sy in range(SH):
            y = (sy + 0.5) / SS
            t = y / HEIGHT
            t = t * t * (3 - 2 * t)  # eased, so the top stays deep and the bottom light
            base = [top[i] + (bottom[i] - top[i]) * t for i in range(3)]
            row = sy * SW
            for sx in range(SW):
                x = (sx + 0.5) / SS
                d = math.hypot(x - glow_x, (y - glow_y) * 0.8) / glow_r
                glow = max(0.0, 1.0 - d) ** 2 * 42.0
                self.r[row + sx] = base[0] + glow * 0.55
                self.g[row + sx] = base[1] + glow * 0.8
                self.b[row + sx] = base[2] + glow

    def polygon(self, points, colour, alpha=1.0):
        """Even-odd fill of a polygon given in pixel coordinates."""
        pts = [(x * SS, y * SS) for x, y in points]
        ys = [p[1] for p in pts]
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(SH - 1, int(math.ceil(max(ys))))
        n = len(pts)
        cr, cg, cb = colour
        keep = 1.0 - alpha
        for sy in range(y0, y1 + 1):
            yc = sy + 0.5
            xs = []
            for i in range(n):
                ax, ay = pts[i]
                bx, by = pts[(i + 1) % n]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            row = sy * SW
            for k in range(0, len(xs) - 1, 2):
                start = max(0, int(math.ceil(xs[k] - 0.5)))
                end = min(SW - 1, int(math.ceil(xs[k + 1] - 0.5)) - 1)
                for sx in range(start, end + 1):
                    i = row + sx
                    self.r[i] = self.r[i] * keep + cr * alpha
                    self.g[i] = self.g[i] * keep + cg * alpha
                    self.b[i] = self.b[i] * keep + cb * alpha

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour, alpha)

    def line(self, x0, y0, x1, y1, width, colour, alpha=1.0):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour, alpha)

    def star(self, cx, cy, size, colour, alpha):
        pts = []
        for k in range(8):
            angle = math.pi / 4 * k - math.pi / 2
            radius = size if k % 2 == 0 else size * 0.28
            pts.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
        self.polygon(pts, colour, alpha)

    def pixels(self):
        """Averages every SS x SS block into one 8-bit RGB pixel."""
        out = []
        area = SS * SS
        for y in range(HEIGHT):
            for x in range(WIDTH):
                r = g = b = 0.0
                for sy in range(y * SS, y * SS + SS):
                    row = sy * SW + x * SS
                    for i in range(row, row + SS):
                        r += self.r[i]
                        g += self.g[i]
                        b += self.b[i]
                out.append(tuple(max(0, min(255, int(v / area + 0.5))) for v in (r, g, b)))
        return out


def bezier(p0, p1, p2, t):
    u = 1 - t
    return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
            u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])


def draw(canvas):
    canvas.background()

    # Soft waves across the bottom.
    for base, amp, period, phase, alpha in ((212, 6, 19, 0.0, 0.10), (226, 5, 15, 1.3, 0.12),
                                            (241, 4, 23, 2.1, 0.10)):
        wave = [(x, base + amp * math.sin(x / period + phase)) for x in range(-2, WIDTH + 3, 2)]
        canvas.polygon(wave + [(WIDTH + 2, HEIGHT + 1), (-2, HEIGHT + 1)], (255, 255, 255), alpha)

    # A few sparkles in the dark upper part.
    for cx, cy, size in ((18, 24, 4.5), (34, 44, 2.5), (70, 18, 3.0), (12, 58, 2.0)):
        canvas.star(cx, cy, size, (210, 228, 255), 0.75)

    # The page with its shadow and folded corner.
    page = [(20, 70), (86, 70), (100, 84), (100, 184), (20, 184)]
    canvas.polygon([(x + 5, y + 6) for x, y in page], (0, 0, 0), 0.14)
    canvas.polygon([(x + 3, y + 3) for x, y in page], (0, 0, 0), 0.28)
    canvas.polygon(page, (250, 251, 253))
    canvas.polygon([(86, 70), (100, 84), (86, 84)], (200, 212, 232))
    canvas.line(86, 70, 86, 84, 0.8, (150, 165, 195))
    canvas.line(86, 84, 100, 84, 0.8, (150, 165, 195))

    # A capital T with serifs.
    ink = (20, 50, 112)
    canvas.rect(28, 78, 51, 82, ink)
    canvas.polygon([(28, 78), (30.5, 78), (30.5, 87), (28, 84)], ink)
    canvas.polygon([(48.5, 78), (51, 78), (51, 84), (48.5, 87)], ink)
    canvas.rect(37.5, 78, 41.5, 103, ink)
    canvas.rect(34, 101, 45, 103.5, ink)

    # Lines of text: beside the T, a paragraph, and the line being written.
    text = (160, 176, 204)
    for y in (80, 86, 92, 98):
        canvas.rect(56, y, 93 if y != 98 else 84, y + 2, text)
    for y, end in ((112, 93), (119, 90), (126, 93), (133, 92), (140, 76)):
        canvas.rect(28, y, end, y + 2, text)
    for y, end in ((150, 93), (157, 88)):
        canvas.rect(28, y, end, y + 2, text)
    canvas.rect(28, 164, 58, 166, ink, 0.75)
    # The fresh ink trails off into a small flourish at the nib.
    flourish = [(58 + i * 0.5, 165 + 1.4 * math.sin(i * 0.55)) for i in range(13)]
    for (xa, ya), (xb, yb) in zip(flourish, flourish[1:]):
        canvas.line(xa, ya, xb, yb, 1.6, ink, 0.75)

    # The quill: a curved rachis, a cream vane that is wider on its left, and a dark nib.
    p0, p1, p2 = (64.5, 167.5), (78, 112), (112, 16)
    steps = 60
    left, right, centre = [], [], []
    for k in range(steps + 1):
        t = k / steps
        x, y = bezier(p0, p1, p2, t)
        dx = 2 * (1 - t) * (p1[0] - p0[0]) + 2 * t * (p2[0] - p1[0])
        dy = 2 * (1 - t) * (p1[1] - p0[1]) + 2 * t * (p2[1] - p1[1])
        length = math.hypot(dx, dy)
        nx, ny = -dy / length, dx / length  # points to the left of the way up
        if t < 0.3:
            wl = wr = 0.0
        else:
            u = (t - 0.3) / 0.7
            shape = math.sin(math.pi * u ** 0.75)
            wl, wr = 10.5 * shape, 6.5 * shape
        left.append((x - nx * wl, y - ny * wl))
        right.append((x + nx * wr, y + ny * wr))
        centre.append((x, y))
    canvas.polygon([(x + 2.5, y + 3) for x, y in left + right[::-1]], (0, 0, 0), 0.18)
    canvas.polygon(left + centre[::-1], (246, 241, 226))
    canvas.polygon(centre + right[::-1], (222, 213, 192))
    # Barbs: a few faint grooves across the vane.
    for t in (0.42, 0.52, 0.62, 0.72, 0.82):
        i = int(t * steps)
        cx, cy = centre[i]
        for edge, shade in ((left, (205, 196, 175)), (right, (190, 180, 158))):
            ex, ey = edge[min(steps, i + 4)]
            canvas.line(cx, cy, cx + (ex - cx) * 0.85, cy + (ey - cy) * 0.85, 0.6, shade, 0.8)
    for (xa, ya), (xb, yb) in zip(centre[12:], centre[13:]):
        canvas.line(xa, ya, xb, yb, 1.1, (150, 132, 100))
    nib = [bezier(p0, p1, p2, k / 60) for k in range(0, 13)]
    for k, ((xa, ya), (xb, yb)) in enumerate(zip(nib, nib[1:])):
        canvas.line(xa, ya, xb, yb, 0.8 + k * 0.18, (28, 30, 42))


def median_cut(pixels, colours=256):
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    boxes = [sorted(counts)]
    while len(boxes) < colours:
        best, best_score, best_axis = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                values = [c[axis] for c in box]
                spread = max(values) - min(values)
                score = spread * sum(counts[c] for c in box) ** 0.5
                if score > best_score:
                    best, best_score, best_axis = i, score, axis
        if best is None or best_score <= 0:
            break
        box = sorted(boxes[best], key=lambda c: (c[best_axis], c))
        total = sum(counts[c] for c in box)
        running, cut = 0, 1
        for j, c in enumerate(box):
            running += counts[c]
            if running * 2 >= total:
                cut = min(max(j + 1, 1), len(box) - 1)
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette, index_of = [], {}
    boxes.sort(key=lambda box: min(box))
    for i, box in enumerate(boxes):
        weight = sum(counts[c] for c in box)
        palette.append(tuple(int(sum(c[a] * counts[c] for c in box) / weight + 0.5)
                             for a in range(3)))
        for c in box:
            index_of[c] = i
    while len(palette) < colours:
        palette.append((0, 0, 0))
    return palette, [index_of[p] for p in pixels]


def chunk(name, data):
    body = name + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "logo.png")
    canvas = Canvas()
    draw(canvas)
    palette, indices = median_cut(canvas.pixels())
    assert len(palette) == 256
    raw = bytearray()
    for y in range(HEIGHT):
        raw.append(0)  # filter type None
        raw.extend(indices[y * WIDTH:(y + 1) * WIDTH])
    image_data = zlib.compress(bytes(raw), 9)
    assert image_data[:2] == b"\x78\xda"
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 3, 0, 0, 0))
           + chunk(b"PLTE", bytes(v for rgb in palette for v in rgb))
           + chunk(b"IDAT", image_data)
           + chunk(b"IEND", b""))
    with open(out, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
