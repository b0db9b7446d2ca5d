#!/usr/bin/env python3
"""Draws the program's toolbar strips, icons and link cursor and writes them as BMP,
ICO and CUR files beside this script. Only the standard library: shapes are polygons
filled with 4x4 supersampling, so edges come out smooth.

    python3 make_images.py      (rewrites every image; the output is committed)
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # samples per pixel along each axis


class Canvas:
    """RGBA pixels, straight alpha, row 0 at the top. `zoom` pixels per design unit: the
    same shapes drawn at another size, never stretched from pixels."""

    def __init__(self, w, h, bg=(0, 0, 0, 0), zoom=1.0):
        self.w, self.h = w, h
        self.zoom = zoom
        self.px = [[list(bg) for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, rgb, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        da = p[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * da * (1 - a)) / oa
        p[3] = oa * 255.0

    def fill(self, poly, paint, scale=1.0, dx=0.0, dy=0.0, alpha=1.0):
        """poly: list of (x, y) in design units; paint: rgb or function(x, y) -> rgb."""
        z = self.zoom
        pts = [((x * scale + dx) * z, (y * scale + dy) * z) for x, y in poly]
        ys = [p[1] for p in pts]
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(self.h - 1, int(math.ceil(max(ys))))
        n = len(pts)
        for py in range(y0, y1 + 1):
            cover = {}
            for sy in range(SS):
                yy = py + (sy + 0.5) / SS
                xs = []
                for i in range(n):
                    ax, ay = pts[i]
                    bx, by = pts[(i + 1) % n]
                    if (ay <= yy < by) or (by <= yy < ay):
                        xs.append(ax + (yy - ay) * (bx - ax) / (by - ay))
                xs.sort()
                for k in range(0, len(xs) - 1, 2):
                    xa, xb = xs[k], xs[k + 1]
                    for sx in range(int(math.floor(xa * SS)), int(math.ceil(xb * SS))):
                        xx = (sx + 0.5) / SS
                        if xa <= xx < xb:
                            px = sx // SS
                            cover[px] = cover.get(px, 0) + 1
            for px, c in cover.items():
                if 0 <= px < self.w:
                    rgb = paint(((px + 0.5) / z - dx) / scale, ((py + 0.5) / z - dy) / scale) \
                        if callable(paint) else paint
                    self.blend(px, py, rgb, alpha * c / float(SS * SS))

    def stroke(self, pts, width, rgb, closed=True, scale=1.0, dx=0.0, dy=0.0):
        segs = list(zip(pts, pts[1:] + (pts[:1] if closed else [])))
        for (ax, ay), (bx, by) in segs:
            lx, ly = bx - ax, by - ay
            ln = math.hypot(lx, ly) or 1.0
            nx, ny = -ly / ln * width / 2, lx / ln * width / 2
            self.fill([(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)],
                      rgb, scale, dx, dy)
        for (x, y) in pts:
            self.fill(circle(x, y, width / 2, 12), rgb, scale, dx, dy)


def circle(cx, cy, r, n=48):
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def arc_ring(cx, cy, r0, r1, a0, a1, n=40):
    outer = [(cx + r1 * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
              cy + r1 * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
    inner = [(cx + r0 * math.cos(math.radians(a1 - (a1 - a0) * i / n)),
              cy + r0 * math.sin(math.radians(a1 - (a1 - a0) * i / n))) for i in range(n + 1)]
    return outer + inner


def vgrad(top, bottom, y0, y1):
    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return paint


def mirror(poly, w):
    return [(w - x, y) for x, y in poly]


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def rounded(x0, y0, x1, y1, r, n=6):
    pts = []
    for cx, cy, a in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(n + 1):
            t = math.radians(a + 90.0 * i / n)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return pts


# ---- shared shapes (design units: a 30 x 30 button image) ----

GREEN = ((140, 230, 110), (20, 140, 40), (10, 85, 20))
YELLOW = ((255, 230, 130), (235, 175, 40), (150, 100, 20))
BLUE = ((130, 190, 255), (30, 100, 210), (20, 60, 140))
RED = ((255, 130, 110), (200, 30, 20), (120, 10, 10))


def arrow_left():
    return [(3, 15), (13.5, 4.5), (13.5, 10.5), (26.5, 10.5), (26.5, 19.5), (13.5, 19.5), (13.5, 25.5)]


def draw_shape(c, poly, colors, y0, y1, width=1.3, s=1.0, dx=0.0, dy=0.0):
    top, bottom, edge = colors
    c.fill(poly, vgrad(top, bottom, y0, y1), s, dx, dy)
    c.stroke(poly, width, edge, True, s, dx, dy)


def draw_folder(c, x0, y0, x1, y1, s=1.0, dx=0.0, dy=0.0, open_front=False):
    top, bottom, edge = YELLOW
    tab = [(x0, y0 + 2), (x0 + 1, y0), (x0 + 7, y0), (x0 + 9, y0 + 2), (x1, y0 + 2), (x1, y1), (x0, y1)]
    c.fill(tab, vgrad((240, 195, 80), (205, 145, 30), y0, y1), s, dx, dy)
    c.stroke(tab, 1.1, edge, True, s, dx, dy)
    if open_front:
        front = [(x0 + 3, y0 + 6), (x1 + 2, y0 + 6), (x1 - 1, y1), (x0, y1)]
    else:
        front = [(x0, y0 + 5), (x1, y0 + 5), (x1, y1), (x0, y1)]
    c.fill(front, vgrad(top, bottom, y0 + 5, y1), s, dx, dy)
    c.stroke(front, 1.1, edge, True, s, dx, dy)


def img_back(c, ox):
    draw_shape(c, arrow_left(), GREEN, 4, 26, dx=ox)
    c.stroke([(6, 15), (13.5, 7.5)], 1.0, (220, 255, 210), False, dx=ox)


def img_forward(c, ox):
    draw_shape(c, mirror(arrow_left(), 30), GREEN, 4, 26, dx=ox)
    c.stroke([(24, 15), (16.5, 7.5)], 1.0, (220, 255, 210), False, dx=ox)


def img_up(c, ox):
    draw_folder(c, 2, 11, 22, 26, dx=ox)
    up = [(21, 2.5), (28.5, 10.5), (24.5, 10.5), (24.5, 19), (17.5, 19), (17.5, 10.5), (13.5, 10.5)]
    draw_shape(c, up, GREEN, 2, 19, 1.2, dx=ox)


def img_folder(c, ox):
    # A tree of folders: the pane that shows it.
    c.stroke([(7, 9), (7, 22.5), (12, 22.5)], 1.0, (90, 90, 90), False, dx=ox)
    c.stroke([(7, 15.5), (12, 15.5)], 1.0, (90, 90, 90), False, dx=ox)
    draw_folder(c, 2, 2, 13, 10, dx=ox)
    draw_folder(c, 12, 11, 27, 19.5, dx=ox)
    draw_folder(c, 12, 19, 27, 27.5, dx=ox)


def img_refresh(c, ox):
    top, bottom, edge = GREEN
    for a0, a1, tip in ((200, 330, 0), (20, 150, 1)):
        ring = arc_ring(15, 15, 6.5, 10.5, a0, a1)
        c.fill(ring, vgrad(top, bottom, 4, 26), dx=ox)
        c.stroke(ring, 1.0, edge, True, dx=ox)
        ang = math.radians(a1)
        cx, cy = 15 + 8.5 * math.cos(ang), 15 + 8.5 * math.sin(ang)
        tx, ty = -math.sin(ang), math.cos(ang)
        nx, ny = math.cos(ang), math.sin(ang)
        head = [(cx + nx * 6, cy + ny * 6), (cx + tx * 7, cy + ty * 7), (cx - nx * 6, cy - ny * 6)]
        c.fill(head, vgrad(top, bottom, 4, 26), dx=ox)
        c.stroke(head, 1.0, edge, True, dx=ox)


def img_delete(c, ox):
    w = 3.2
    for ang in (45, -45):
        a = math.radians(ang)
        ux, uy = math.cos(a), math.sin(a)
        vx, vy = -uy, ux
        L = 11.5
        bar = [(15 + ux * L + vx * w, 15 + uy * L + vy * w), (15 - ux * L + vx * w, 15 - uy * L + vy * w),
               (15 - ux * L - vx * w, 15 - uy * L - vy * w), (15 + ux * L - vx * w, 15 + uy * L - vy * w)]
        draw_shape(c, bar, RED, 4, 26, 1.2, dx=ox)


def img_viewtype(c, ox):
    page = rect(3, 4, 27, 26)
    c.fill(page, (255, 255, 255), dx=ox)
    c.fill(rect(3, 4, 27, 8), vgrad((120, 170, 240), (40, 90, 190), 4, 8), dx=ox)
    c.stroke(page, 1.0, (70, 80, 100), True, dx=ox)
    colors = [(235, 175, 40), (60, 150, 60), (200, 50, 40), (40, 100, 200)]
    for i, col in enumerate(colors):
        y = 10.5 + i * 3.8
        c.fill(rect(5.5, y, 8.5, y + 2.6), col, dx=ox)
        c.fill(rect(10.5, y + 0.8, 24.5, y + 1.9), (110, 110, 120), dx=ox)


IMAGES = [img_back, img_forward, img_up, img_folder, img_refresh, img_delete, img_viewtype]


def draw_strip(size=30):
    """The buttons' images side by side, each `size` pixels square (designed at 30)."""
    c = Canvas(size * len(IMAGES), size, zoom=size / 30.0)
    for i, draw in enumerate(IMAGES):
        draw(c, i * 30)
    return c


def flatten(c, bg):
    """RGB rows over a solid background; pixels never equal the mask colour."""
    rows = []
    for y in range(c.h):
        row = []
        for x in range(c.w):
            r, g, b, a = c.px[y][x]
            a /= 255.0
            if a < 0.04:
                row.append(bg)
                continue
            p = tuple(int(round(r * a + bg[i] * (1 - a))) for i, r in enumerate((r, g, b)))
            if p == bg:
                p = (p[0], p[1], max(0, p[2] - 1))
            row.append(p)
        rows.append(row)
    return rows


def disabled(c, bg):
    """The classic disabled look: the shape embossed in white and grey."""
    rows = [[bg for _ in range(c.w)] for _ in range(c.h)]
    def cover(x, y):
        return c.px[y][x][3] / 255.0 if 0 <= x < c.w and 0 <= y < c.h else 0.0
    for y in range(c.h):
        for x in range(c.w):
            hi = cover(x - 1, y - 1)
            sh = cover(x, y)
            r, g, b, _ = c.px[y][x]
            dark = (r * 0.3 + g * 0.59 + b * 0.11) < 200
            p = list(bg)
            if hi > 0.04:
                p = [int(round(v * (1 - hi) + 255 * hi)) for v in p]
            if sh > 0.04:
                tone = 128 if dark else 160
                p = [int(round(v * (1 - sh) + tone * sh)) for v in p]
            if tuple(p) == bg and (hi > 0.04 or sh > 0.04):
                p[2] -= 1
            rows[y][x] = tuple(p)
    return rows


def write_bmp24(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def write_bmp4(path, rows):
    """16 colours; light grey (192, 192, 192) is the background the toolbar maps to its face."""
    h, w = len(rows), len(rows[0])
    def nearest(p):
        return min(range(16), key=lambda i: sum((p[k] - VGA16[i][k]) ** 2 for k in range(3)))
    stride = ((w + 1) // 2 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        idx = [nearest(p) for p in row]
        line = bytearray()
        for x in range(0, w, 2):
            hi = idx[x]
            lo = idx[x + 1] if x + 1 < w else 0
            line.append((hi << 4) | lo)
        line += b"\0" * (stride - len(line))
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    off = 14 + len(header) + len(palette)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off))
        f.write(header + palette + data)


def icon_image(c):
    """One 32-bit image of an icon or cursor: header, BGRA bottom-up, AND mask."""
    w, h = c.w, c.h
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = c.px[y][x]
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a))))
    mstride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        bits = bytearray(mstride)
        for x in range(w):
            if c.px[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_icon(path, canvases, hotspot=None):
    kind = 2 if hotspot else 1
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        a, b = (hotspot if hotspot else (1, 32))
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, a, b, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


# ---- icons (design units: 32 x 32) ----

def icon_app(c, s):
    draw_folder(c, 2, 6, 28, 28, s)
    bars = [(7, 18, (60, 150, 230), (20, 80, 170)), (13, 12, (240, 90, 70), (170, 30, 20)),
            (19, 15, (110, 200, 90), (30, 120, 40))]
    for x, top, light, dark in bars:
        body = rect(x, top, x + 5, 26)
        c.fill(body, vgrad(light, dark, top, 26), s)
        c.stroke(body, 0.9, tuple(v // 2 for v in dark), True, s)


def icon_fixed(c, s):
    body = rounded(2, 9, 30, 25, 2.5)
    c.fill(body, vgrad((235, 235, 240), (150, 150, 160), 9, 25), s)
    c.stroke(body, 1.0, (70, 70, 80), True, s)
    c.fill(rect(4, 19, 28, 20.2), (110, 110, 120), s)
    c.fill(circle(24.5, 22.5, 1.4, 16), (40, 200, 60), s)
    c.fill(rect(5, 22, 15, 23), (90, 90, 100), s)


def icon_removable(c, s):
    body = [(4, 3), (25, 3), (28, 6), (28, 29), (4, 29)]
    c.fill(body, vgrad((70, 90, 160), (30, 40, 100), 3, 29), s)
    c.stroke(body, 1.0, (15, 20, 60), True, s)
    c.fill(rect(9, 3, 23, 12), vgrad((230, 230, 235), (160, 160, 170), 3, 12), s)
    c.fill(rect(18, 5, 21, 10.5), (60, 70, 110), s)
    c.fill(rect(8, 16, 24, 29), (250, 250, 245), s)
    for y in (19.5, 22.5, 25.5):
        c.fill(rect(10, y, 22, y + 0.8), (150, 160, 200), s)


def icon_cdrom(c, s):
    def rainbow(x, y):
        t = (math.atan2(y - 16, x - 16) + math.pi) / (2 * math.pi)
        base = (205, 210, 220)
        tint = (int(120 + 120 * math.sin(6.28 * t)), int(150 + 100 * math.sin(6.28 * t + 2)),
                int(170 + 80 * math.sin(6.28 * t + 4)))
        return tuple(base[i] * 0.65 + tint[i] * 0.35 for i in range(3))
    c.fill(circle(16, 16, 13.5, 64), rainbow, s)
    c.stroke(circle(16, 16, 13.5, 64), 1.0, (110, 115, 130), True, s)
    c.fill(circle(16, 16, 5, 32), (235, 238, 245), s)
    c.stroke(circle(16, 16, 5, 32), 0.8, (140, 145, 160), True, s)
    hole = Canvas(c.w, c.h)
    hole.fill(circle(16, 16, 2.2, 24), (0, 0, 0), s)
    for y in range(c.h):
        for x in range(c.w):
            a = hole.px[y][x][3] / 255.0
            c.px[y][x][3] *= (1 - a)
    c.stroke(circle(16, 16, 2.2, 24), 0.6, (120, 125, 140), True, s)


def cursor_hand(c):
    # A pointing hand, fingertip at (11, 1).
    hand = [(9.5, 2), (10, 1), (12, 1), (12.5, 2), (12.5, 11), (13.5, 10), (15.5, 10), (16, 11),
            (16.5, 11.3), (18.5, 11.3), (19, 12.3), (19.5, 12.5), (21.5, 12.5), (22, 13.5),
            (22, 21), (20.5, 25), (20.5, 27), (10.5, 27), (10.5, 25), (5.5, 18.5), (5, 16.5),
            (6, 15.5), (7.5, 15.5), (9.5, 17.5)]
    c.fill(hand, (255, 255, 255))
    c.stroke(hand, 1.0, (0, 0, 0), True)
    for x in (14.5, 17.5):
        c.stroke([(x, 19), (x, 24)], 0.8, (0, 0, 0), False)


def main():
    strip = draw_strip()
    normal = flatten(strip, (214, 211, 206))
    write_bmp24(os.path.join(HERE, "toolbar_normal.bmp"), normal)
    write_bmp24(os.path.join(HERE, "toolbar_disabled.bmp"), disabled(strip, (210, 210, 210)))
    write_bmp4(os.path.join(HERE, "toolbar16.bmp"), flatten(strip, (192, 192, 192)))
    # The same images for displays at 150 % and 200 %.
    for size in (45, 60):
        big = draw_strip(size)
        write_bmp24(os.path.join(HERE, "toolbar_normal_%d.bmp" % size), flatten(big, (214, 211, 206)))
        write_bmp24(os.path.join(HERE, "toolbar_disabled_%d.bmp" % size),
                    disabled(big, (210, 210, 210)))
    for name, draw in (("dirscope.ico", icon_app), ("drive_fixed.ico", icon_fixed),
                       ("drive_removable.ico", icon_removable), ("drive_cdrom.ico", icon_cdrom)):
        sizes = []
        for size in (48, 32, 16):
            c = Canvas(size, size)
            draw(c, size / 32.0)
            sizes.append(c)
        write_icon(os.path.join(HERE, name), sizes)
    cur = Canvas(32, 32)
    cursor_hand(cur)
    write_icon(os.path.join(HERE, "link.cur"), [cur], hotspot=(11, 1))


if __name__ == "__main__":
    main()
