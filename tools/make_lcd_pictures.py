#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws every LCD picture of the handheld as a plain PBM (P1, one pixel row
per text line, pixels apart as Qt's reader needs) into assets/lcd/, at the
size the element catalogue gives, and the same pictures at 2x, 3x and 4x as
8-bit grey PNG masks into assets/lcd/<n>x/ for zoomed and high-density
screens.

Figures are built from simple shapes (thick segments, discs, ellipses) in a
design space and sampled at pixel centres, so a pose is a handful of joint
positions rather than hand-placed pixels. The larger pictures sample the
same shapes on a finer grid (4 x 4 points per device pixel) and keep the
share of points inside as the pixel's grey, so their edges are smooth and
never wider than one device pixel. Pixel-art parts (boxes, stamped glyphs)
stay pixel squares at every scale; one-pixel lines become thin segments.
Black is the segment, white the transparent background; the bottom-left
pixel of every picture must stay white because it names the transparent
colour.

    python3 tools/make_lcd_pictures.py          # writes assets/lcd/
    python3 tools/make_lcd_pictures.py --check  # fails if a file would change

Needs numpy (Debian: python3-numpy, for /usr/bin/python3).
"""
import math
import pathlib
import re
import struct
import sys
import zlib

try:
    import numpy as np
except ImportError:
    sys.exit("make_lcd_pictures.py needs numpy (apt-get install python3-numpy; run /usr/bin/python3)")

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "assets" / "lcd"
SCALES = (2, 3, 4)
SUBSAMPLES = 4  # per device pixel and axis


def bitmap_sizes():
    """{name: (width, height)} of every element with a picture of its own."""
    text = (ROOT / "core" / "lcd" / "catalogue_table.inc").read_text()
    sizes = {}
    for m in re.finditer(r"^X\((\w+), *(\d+), *(\d+), *(\d+), *(\d+), *(\w+),", text, re.M):
        if m.group(6) == "Bitmap":
            sizes[m.group(1)] = (int(m.group(4)), int(m.group(5)))
    return sizes


# ---------------------------------------------------------------- shapes
# A shape is a predicate over design coordinates, given as numpy arrays of
# sample points; a pixel (i, j) of the 1x picture samples the point (i, j),
# so integer design coordinates name pixel centres. A shape marked `snap` is
# pixel art: every sample asks it about its 1x pixel's centre, so it stays
# made of pixel squares at every scale. A shape with a `fine` one draws that
# at the larger scales instead.

def seg(ax, ay, bx, by, width):
    half = width / 2.0

    def inside(x, y):
        dx, dy = bx - ax, by - ay
        den = dx * dx + dy * dy
        t = 0.0 if den == 0 else np.clip(((x - ax) * dx + (y - ay) * dy) / den, 0.0, 1.0)
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= half * half + 1e-9
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 1e-9


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0 + 1e-9


def snapped(shape):
    shape.snap = True
    return shape


def box(x0, y0, x1, y1):
    return snapped(lambda x, y: (x0 <= x) & (x <= x1) & (y0 <= y) & (y <= y1))


def moved(shape, dx, dy):
    """The shape with its origin at (dx, dy)."""
    out = lambda x, y: shape(x - dx, y - dy)
    out.snap = getattr(shape, "snap", False)
    if hasattr(shape, "fine"):
        out.fine = moved(shape.fine, dx, dy)
    return out


def poly(points):
    def inside(x, y):
        hit = np.zeros(np.shape(x), dtype=bool)
        n = len(points)
        for k in range(n):
            (x0, y0), (x1, y1) = points[k], points[(k + 1) % n]
            if y0 == y1:
                continue  # a level edge is never crossed
            hit ^= ((y0 > y) != (y1 > y)) & (x < x0 + (y - y0) * (x1 - x0) / (y1 - y0))
        return hit
    return inside


def anyof(shapes):
    def inside(x, y):
        hit = shapes[0](x, y)
        for shape in shapes[1:]:
            hit = hit | shape(x, y)
        return hit
    return inside


def polyline(points, width):
    return anyof([seg(*points[k], *points[k + 1], width) for k in range(len(points) - 1)])


def pixels(x0, y0, x1, y1):
    """A one-pixel line between two pixels (Bresenham), crisper than a thin
    segment sampled at pixel centres; at the larger scales, a segment one
    1x pixel wide."""
    x0, y0, x1, y1 = (int(round(v)) for v in (x0, y0, x1, y1))
    fine = seg(x0, y0, x1, y1, 1.0)
    ends = (x0, y0, x1, y1)
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err, points = dx + dy, set()
    while True:
        points.add((x0, y0))
        if (x0, y0) == (x1, y1):
            break
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy
    lo_x, lo_y = min(ends[0], ends[2]), min(ends[1], ends[3])
    grid = np.zeros((abs(ends[3] - ends[1]) + 1, abs(ends[2] - ends[0]) + 1), dtype=bool)
    for px, py in points:
        grid[py - lo_y, px - lo_x] = True

    def inside(x, y):
        i, j = np.rint(x).astype(int) - lo_x, np.rint(y).astype(int) - lo_y
        ok = (i >= 0) & (j >= 0) & (i < grid.shape[1]) & (j < grid.shape[0])
        return ok & grid[np.where(ok, j, 0), np.where(ok, i, 0)]
    inside.fine = fine
    return inside


# ---------------------------------------------------------------- canvas

class Pic:
    """A picture as the steps that draw it, so it can be drawn at any scale:
    painted shapes, and pixels stamped at their 1x place."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.steps = []
        self._px = None

    def paint(self, items, place=lambda i, j: (i, j)):
        """items: (shape, 1 for black or 0 for white), painted in order.
        place maps a pixel to design coordinates."""
        self.steps.append(("paint", items, place))
        self._px = None
        return self

    def _stamp(self):
        if not self.steps or self.steps[-1][0] != "stamp":
            self.steps.append(("stamp", np.full((self.h, self.w), -1, dtype=np.int8)))
        self._px = None
        return self.steps[-1][1]

    def art(self, rows, ox=0, oy=0):
        """Stamps ASCII art: '#' black, anything else left alone."""
        stamp = self._stamp()
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    stamp[oy + j, ox + i] = 1
        return self

    def set(self, i, j, v=1):
        if 0 <= i < self.w and 0 <= j < self.h:
            self._stamp()[j, i] = v

    def ink(self, scale, subsamples):
        """1 where a sample point is black, on a grid of `subsamples` points
        per device pixel and axis (at 1x, the pixel centres)."""
        n = 1 if scale == 1 else scale * subsamples
        us = (np.arange(self.w * n) + 0.5) / n - 0.5 if n > 1 else np.arange(self.w, dtype=float)
        vs = (np.arange(self.h * n) + 0.5) / n - 0.5 if n > 1 else np.arange(self.h, dtype=float)
        u, v = np.meshgrid(us, vs)
        pi, pj = np.floor(u + 0.5).astype(int), np.floor(v + 0.5).astype(int)
        value = np.zeros(u.shape, dtype=np.uint8)
        for step in self.steps:
            if step[0] == "stamp":
                stamped = step[1][pj, pi]
                value = np.where(stamped >= 0, stamped, value).astype(np.uint8)
                continue
            _, items, place = step
            x, y = place(u, v)
            xs, ys = place(pi.astype(float), pj.astype(float))
            for shape, colour in items:
                if scale > 1 and hasattr(shape, "fine"):
                    shape = shape.fine
                hit = shape(xs, ys) if getattr(shape, "snap", False) else shape(x, y)
                value[np.broadcast_to(hit, value.shape)] = colour
        return value

    @property
    def px(self):
        """The 1x picture: rows of 0 (white) and 1 (black)."""
        if self._px is None:
            self._px = self.ink(1, 1).tolist()
        return self._px

    def grey(self, scale):
        """The picture at `scale` as 8-bit grey: 255 white, 0 black."""
        ink = self.ink(scale, SUBSAMPLES).astype(np.float64)
        n = SUBSAMPLES
        cover = ink.reshape(self.h * scale, n, self.w * scale, n).mean(axis=(1, 3))
        return np.rint(255.0 * (1.0 - cover)).astype(np.uint8)

    def pbm(self):
        lines = ["P1", f"{self.w} {self.h}"]
        lines += [" ".join(str(v) for v in row) for row in self.px]
        return "\n".join(lines) + "\n"


def png(grey):
    """An 8-bit grey PNG, each row filtered by its previous row (masks are
    mostly runs of white, so rows repeat)."""
    h, w = grey.shape
    rows = grey.astype(np.int16)
    up = np.vstack([np.zeros((1, w), dtype=np.int16), rows[:-1]])
    filtered = ((rows - up) % 256).astype(np.uint8)
    raw = b"".join(b"\x02" + filtered[j].tobytes() for j in range(h))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def placed(ax, ay, flip=False, angle=0.0):
    """Maps canvas pixels to a design space whose origin sits at canvas
    point (ax, ay), optionally mirrored and turned (degrees)."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def place(i, j):
        x, y = i - ax, j - ay
        x, y = c * x + s * y, -s * x + c * y
        return (-x if flip else x), y
    return place


# ---------------------------------------------------------------- the player
# Design space: feet on y = 0, body centred on x = 0, facing +x, about 19
# pixels tall. A pose names its joints; the figure is a builder in a hard hat.

# Joints: head centre, shoulder and hip on the spine, then elbow and hand of
# each arm and knee and foot of each leg.
STAND = dict(head=(0.5, -15), sh=(0, -10.5), hip=(0, -6.5),
             arm1=[(2.2, -8.5), (2.8, -5.5)], arm2=[(-2.2, -8.5), (-2.8, -5.5)],
             leg1=[(1.5, -3), (1.5, 0)], leg2=[(-1.5, -3), (-1.5, 0)])
RUN_A = dict(head=(1.5, -15), sh=(0.8, -10.5), hip=(0, -6.5),
             arm1=[(3, -8.5), (5.5, -10.5)], arm2=[(-2, -8.5), (-4.5, -7)],
             leg1=[(3, -4), (4.5, -0.5)], leg2=[(-1.5, -3), (-4.5, -1)])
RUN_B = dict(head=(1.5, -15), sh=(0.8, -10.5), hip=(0, -6.5),
             arm1=[(3, -8), (4.5, -6)], arm2=[(-1.5, -9), (-4, -10.5)],
             leg1=[(2, -3.5), (1.5, 0)], leg2=[(-1, -3), (-3.5, -2)])
JUMP = dict(head=(1, -15), sh=(0.5, -10.5), hip=(0, -6.5),
            arm1=[(3, -12.5), (4.5, -15.5)], arm2=[(-2.5, -12.5), (-4.5, -15)],
            leg1=[(3.5, -4.5), (2, -1.5)], leg2=[(-2.5, -4), (-4.5, -0.5)])
CLIMB_A = dict(head=(0, -15), sh=(0, -10.5), hip=(0, -6.5), back=True,
               arm1=[(3.5, -11.5), (4, -15.5)], arm2=[(-3, -9), (-4, -11)],
               leg1=[(3, -5), (3, -2)], leg2=[(-2, -3), (-2, 0)])
CLIMB_B = dict(head=(0, -15), sh=(0, -10.5), hip=(0, -6.5), back=True,
               arm1=[(3, -9), (4, -11)], arm2=[(-3.5, -11.5), (-4, -15.5)],
               leg1=[(2, -3), (2, 0)], leg2=[(-3, -5), (-3, -2)])
PULL = dict(head=(3, -14), sh=(1.5, -10), hip=(-1, -6),
            arm1=[(4.5, -9.5), (8, -10.5)], arm2=[(4, -8), (7.5, -9)],
            leg1=[(1, -3), (2.5, 0)], leg2=[(-3, -3), (-4.5, 0)])
LEAP = dict(head=(2, -17.5), sh=(1.5, -13), hip=(-1, -7.5),
            arm1=[(5.5, -15), (9.5, -19.5)], arm2=[(5, -13.5), (10, -17)],
            leg1=[(-3, -4.5), (-4.5, -1)], leg2=[(-4.5, -7), (-7.5, -5)])
HANG = dict(head=(0, -10.5), sh=(0, -6.5), hip=(0, -2.5), hang=True,
            arm1=[(3.5, -10), (0.8, -14.5)], arm2=[(-3.5, -10), (-0.8, -14.5)],
            leg1=[(1.5, 0.5), (2, 3.5)], leg2=[(-1.5, 0.5), (-3, 3)])
CHEER = dict(head=(0, -15), sh=(0, -10.5), hip=(0, -6.5),
             arm1=[(3, -12.5), (4.5, -15.5)], arm2=[(-3, -12.5), (-4.5, -15.5)],
             leg1=[(2, -3), (3, 0)], leg2=[(-2, -3), (-3, 0)])
TUMBLE = dict(head=(-1, -15), sh=(-0.5, -10.5), hip=(0.5, -6.5),
              arm1=[(3, -12), (6, -13.5)], arm2=[(-3.5, -10), (-6.5, -11)],
              leg1=[(3.5, -4), (6, -4.5)], leg2=[(-2, -3.5), (-4.5, -1)])


def player(pose):
    """The figure's shapes, in painting order."""
    hx, hy = pose["head"]
    sx, sy = pose["sh"]
    ix, iy = pose["hip"]
    items = []
    for limb in ("leg1", "leg2"):
        (kx, ky), (fx, fy) = pose[limb]
        items.append((polyline([(ix, iy), (kx, ky), (fx, fy)], 1.9), 1))
        if not pose.get("hang") and not pose.get("back"):
            items.append((seg(fx, fy, fx + 1.5, fy, 1.4), 1))  # boot
    items.append((seg(sx, sy, ix, iy, 3.2), 1))               # torso
    for limb in ("arm1", "arm2"):
        (ex, ey), (wx, wy) = pose[limb]
        items.append((polyline([(sx, sy), (ex, ey), (wx, wy)], 1.6), 1))
    items.append((disc(hx, hy, 2.3), 1))                      # head
    if pose.get("back"):
        items.append((ellipse(hx, hy - 1.5, 3.0, 1.6), 1))    # hat from behind
    else:
        items.append((ellipse(hx - 0.3, hy - 2.0, 2.6, 1.3), 1))  # hat crown
        items.append((seg(hx - 2.2, hy - 1.4, hx + 3.4, hy - 1.4, 1.0), 1))  # brim
        items.append((box(hx + 1, hy - 0.5, hx + 1, hy - 0.5), 0))  # eye
    return items


def draw_player(w, h, pose, foot_x=None, flip=False, foot_y=None, angle=0.0):
    pic = Pic(w, h)
    ax = (w - 1) / 2.0 if foot_x is None else foot_x
    ay = h - 1 if foot_y is None else foot_y
    return pic.paint(player(pose), placed(ax, ay, flip, angle))


# ---------------------------------------------------------------- the ape

def ape_up():
    """Standing, both arms raised: 24 wide, 36 high, centred on x = 0,
    feet on y = 0."""
    return [
        (seg(-3.5, -9, -5, -1, 4.2), 1), (seg(3.5, -9, 5, -1, 4.2), 1),   # legs
        (seg(-6.5, -1, -3.5, -1, 2.2), 1), (seg(3.5, -1, 6.5, -1, 2.2), 1),
        (ellipse(0, -14, 7.2, 7.5), 1),                                   # body
        (ellipse(0, -13, 3.8, 4.2), 0), (ellipse(0, -13, 2.6, 3.0), 1),   # chest
        (polyline([(-5, -19), (-9.5, -25), (-8, -32)], 4.0), 1),          # arms
        (polyline([(5, -19), (9.5, -25), (8, -32)], 4.0), 1),
        (disc(-8, -32.5, 2.4), 1), (disc(8, -32.5, 2.4), 1),              # fists
    ] + ape_head(0, -24)


def ape_down():
    """Crouched, knuckles on the floor: 37 wide, 24 high."""
    return [
        (seg(-4.5, -6, -6, -1, 4.2), 1), (seg(4.5, -6, 6, -1, 4.2), 1),     # legs
        (ellipse(0, -10, 9.5, 6.5), 1),                                    # body
        (ellipse(0, -9.5, 4.5, 3.2), 0), (ellipse(0, -9.5, 3.2, 2.0), 1),  # chest
        (polyline([(-8, -13), (-13.5, -9), (-15, -2)], 4.2), 1),           # arms
        (polyline([(8, -13), (13.5, -9), (15, -2)], 4.2), 1),
        (ellipse(-15, -1.5, 2.6, 1.8), 1), (ellipse(15, -1.5, 2.6, 1.8), 1),
    ] + ape_head(0, -17.5)


def ape_head(cx, cy):
    """A round dark head with a pale face: brow, two eyes, a wide mouth."""
    return [(disc(cx, cy, 5.2), 1),
            (ellipse(cx, cy + 1.3, 3.6, 3.2), 0),
            (box(cx - 2, cy, cx - 1, cy), 1), (box(cx + 1, cy, cx + 2, cy), 1),
            (box(cx - 2, cy + 3, cx + 2, cy + 3), 1),
            (box(cx - 5, cy - 2, cx + 5, cy - 1.5), 1)]


def ape_fallen():
    """Sat down hard after the fall: legs splayed, arms limp, stars round
    its head."""
    return [
        (seg(-4, -4, -11, -1.5, 4.0), 1), (seg(4, -4, 11, -1.5, 4.0), 1),       # legs
        (ellipse(-12.5, -2, 1.8, 2.2), 1), (ellipse(12.5, -2, 1.8, 2.2), 1),    # feet
        (ellipse(0, -9, 7.0, 6.5), 1),                                          # body
        (ellipse(0, -8.5, 3.2, 2.8), 0), (ellipse(0, -8.5, 2.0, 1.6), 1),
        (polyline([(-6, -12), (-9.5, -8), (-8.5, -3.5)], 3.6), 1),              # arms
        (polyline([(6, -12), (9.5, -8), (8.5, -3.5)], 3.6), 1),
    ] + ape_head(0, -19.5) + [
        (seg(-3, -19.5, -1, -19.5, 1.0), 0), (seg(1, -19.5, 3, -19.5, 1.0), 0),  # eyes shut
        (seg(-2, -19.5, -1, -19.5, 1.0), 1), (seg(1, -19.5, 2, -19.5, 1.0), 1),
        (seg(-10, -29, -10, -25, 1.0), 1), (seg(-12, -27, -8, -27, 1.0), 1),     # stars
        (seg(9, -30, 9, -26, 1.0), 1), (seg(7, -28, 11, -28, 1.0), 1),
        (box(-1, -28.5, 0, -27.5), 1),
    ]


# ---------------------------------------------------------------- barrels

def barrel_side(angle, length=11.0, girth=7.0):
    """A barrel seen from the side, centred on the origin, turned by angle."""
    a, b = length / 2.0, girth / 2.0
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def local(x, y):
        return c * x + s * y, -s * x + c * y

    def body(x, y):  # bulging in the middle, flat at the ends
        u, v = local(x, y)
        return (abs(u) <= a) & (abs(v) <= b * (1.0 - 0.3 * (u / a) ** 2))

    def stave(x, y):  # white gaps between the staves, broken by the hoops
        u, v = local(x, y)
        on_hoop = (abs(u - -a * 0.55) <= 0.7) | (abs(u - a * 0.55) <= 0.7)
        return (abs(abs(v) - b * 0.4) <= 0.5) & (abs(u) < a - 1.2) & ~on_hoop
    return [(body, 1), (lambda x, y: body(x, y) & stave(x, y), 0)]


def barrel_end(angle, r=4.6):
    """A barrel seen end-on as it rolls: a disc with a white cross turned by
    the roll angle and a black hub."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def spokes(x, y):
        u, v = c * x + s * y, -s * x + c * y
        return ((abs(u) <= 0.5) | (abs(v) <= 0.5)) & (x * x + y * y <= (r - 1.3) ** 2)
    return [(disc(0, 0, r), 1), (spokes, 0), (disc(0, 0, 0.8), 1)]


def draw_barrel(w, h, items):
    return Pic(w, h).paint(items, placed((w - 1) / 2.0, (h - 1) / 2.0))


# ---------------------------------------------------------------- machines

HOOK_PIVOT = (295.0, 127.0)  # window point the hook hangs from (crane tip)


def hook(origin, end, w, h):
    """Rope from the crane tip to the hook at end (window coordinates),
    clipped to a picture whose top-left lies at origin."""
    ox, oy = origin
    px, py = HOOK_PIVOT[0] - ox, HOOK_PIVOT[1] - oy
    ex, ey = end[0] - ox, end[1] - oy
    n = math.hypot(ex - px, ey - py)
    vx, vy = (ex - px) / n, (ey - py) / n   # along the rope, downward
    ux, uy = -vy, vx                         # across it

    def at(u, v):  # hook-local point (v = 0 at the bend) in picture pixels
        return ex + u * ux + v * vx, ey + u * uy + v * vy

    def part(u0, v0, u1, v1, width=1.0):
        return seg(*at(u0, v0), *at(u1, v1), width), 1
    return Pic(w, h).paint([
        (seg(px, py, *at(0, -4), 1.0), 1),              # rope
        part(0, -5, 0, -3.5, 3.0),                       # block
        part(0, -3, 0, 1), part(0, 1.2, -2, 1.2),        # shank and bowl
        part(-2.2, 1, -2.2, -1),                         # point
    ])


def truss(ax, ay, bx, by, depth, panels):
    """A lattice jib from (ax, ay) to (bx, by): two chords and a zigzag."""
    dx, dy = bx - ax, by - ay
    n = math.hypot(dx, dy)
    qx, qy = -dy / n * depth, dx / n * depth
    items = [(pixels(ax, ay, bx, by), 1),
             (pixels(ax + qx, ay + qy, bx + qx, by + qy), 1)]
    for k in range(panels):
        t0, t1 = k / panels, (k + 1) / panels
        x0, y0 = ax + dx * t0, ay + dy * t0
        x1, y1 = ax + dx * t1, ay + dy * t1
        if k % 2 == 0:
            items.append((pixels(x0, y0, x1 + qx, y1 + qy), 1))
        else:
            items.append((pixels(x0 + qx, y0 + qy, x1, y1), 1))
    return items


def cab(x0, y0, x1, y1):
    return [(box(x0, y0, x1, y1), 1), (box(x0 + 2, y0 + 2, x0 + 5, y0 + 4), 0)]


def crane(w, h, jib_from, jib_to, cab_box, extra=()):
    items = list(extra)
    items += truss(*jib_from, *jib_to, 3.0, 6)
    items += cab(*cab_box)
    items.append((disc(jib_to[0], jib_to[1], 2.0), 1))  # pulley block at the tip
    return Pic(w, h).paint(items)


def beam(w, h):
    """A girder segment hanging from a trolley on the track."""
    mid = (w - 1) / 2.0
    items = [(disc(mid, 1, 1.3), 1),
             (seg(mid, 1.5, 2, 6, 1.0), 1), (seg(mid, 1.5, w - 3, 6, 1.0), 1)]
    items += truss(1, 6.5, w - 2, 6.5, 3.5, 8)
    return Pic(w, h).paint(items)


# ---------------------------------------------------------------- text and digits

FONT = {  # 3 or 5 wide, 5 high
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "G": [".##", "#..", "#.#", "#.#", ".##"],
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
    " ": ["."],
}


def text(w, h, s, x, y, gap=1):
    pic = Pic(w, h)
    for ch in s:
        glyph = FONT[ch]
        pic.art(glyph, x, y)
        x += len(glyph[0]) + gap
    return pic


# Seven segments on a 9 x 16 cell, each a bevelled bar two pixels thick.
SEGMENTS = {
    "a": [(x, 0) for x in range(1, 8)] + [(x, 1) for x in range(2, 7)],
    "b": [(8, y) for y in range(1, 7)] + [(7, y) for y in range(2, 6)],
    "c": [(8, y) for y in range(9, 15)] + [(7, y) for y in range(10, 14)],
    "d": [(x, 15) for x in range(1, 8)] + [(x, 14) for x in range(2, 7)],
    "e": [(0, y) for y in range(9, 15)] + [(1, y) for y in range(10, 14)],
    "f": [(0, y) for y in range(1, 7)] + [(1, y) for y in range(2, 6)],
    "g": [(x, 7) for x in range(2, 7)] + [(x, 8) for x in range(2, 7)],
}
DIGIT_SEGMENTS = ["abcdef", "bc", "abged", "abgcd", "fgbc",
                  "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"]


def digit(n):
    pic = Pic(9, 16)
    for name in DIGIT_SEGMENTS[n]:
        for x, y in SEGMENTS[name]:
            pic.set(x, y)
    pic.set(0, 15, 0)  # the transparent colour's pixel stays white
    return pic


# ---------------------------------------------------------------- small marks

HEART_SMALL = [".....", ".#.#.", "#####", "#####", ".###.", "..#..", "....."]
HEART_LARGE = [".##.##..", "########", "########", "########",
               ".######.", "..####..", "...##...", "........"]


def heart(w, h, rows):
    return Pic(w, h).art(rows)


def key_piece(w, h, bolt_w):
    """One key piece: a solid bolt with a rounded head, a notch near the top
    and a tapered tip."""
    r = (bolt_w - 1) / 2.0
    items = [(box(0, r, bolt_w - 1, h - 4), 1), (disc(r, r, r + 0.5), 1),
             (poly([(0, h - 4), (bolt_w - 1, h - 4), (r, h - 1.5)]), 1),
             (box(0, 7, bolt_w - 1, 7), 0), (box(0, h - 8, bolt_w - 1, h - 8), 0)]
    return Pic(w, h).paint(items)


def bars_up(w, h):
    items = [(box(1, 0, w - 1, 0), 1), (box(1, 4, w - 1, 4), 1)]
    for x in range(1, w - 1, 4):
        items.append((seg(x, 4, x + 2, 0, 1.0), 1))
        items.append((seg(x + 2, 0, x + 4, 4, 1.0), 1))
    return Pic(w, h).paint(items)


def bars_down(w, h):
    """The trapdoor under the ape falling open: two halves swinging down."""
    items = []
    for a, b in (((2, 1), (50, 36)), ((w - 2, 1), (w - 52, 36))):
        items += truss(*a, *b, 3.0, 10)
    # motion marks
    for x, y in ((28, 6), (w - 30, 6), (40, 12), (w - 42, 12)):
        items.append((seg(x, y, x + 3, y - 3, 1.0), 1))
    return Pic(w, h).paint(items)


def lever(w, h, up):
    if up:   # pivot bottom right, handle up and to the left
        items = [(seg(5.5, 8, 1.5, 2.5, 1.6), 1), (disc(1.5, 1.8, 1.5), 1), (disc(5.2, 7.6, 1.0), 1)]
    else:    # lying to the right of the pivot
        items = [(seg(1.5, 2.5, 6.5, 1.5, 1.6), 1), (disc(7.2, 1.5, 1.5), 1), (disc(1.5, 2.5, 1.0), 1)]
    return Pic(w, h).paint(items)


def life_icon(w, h):
    """A spare builder: head and shoulders in a hard hat."""
    items = [(ellipse(5.5, 13.5, 5.0, 4.0), 1), (box(0.5, 13, 10.5, 14), 0),
             (disc(5.5, 7, 3.2), 1), (ellipse(5.5, 3.8, 3.8, 2.4), 1),
             (seg(0.5, 4.8, 10.5, 4.8, 1.2), 1),
             (disc(4, 7.5, 0.6), 0), (disc(7, 7.5, 0.6), 0)]
    pic = Pic(w, h).paint(items)
    for i in range(w):
        pic.set(i, h - 1, 0)
    return pic


def alarm_bell(w, h):
    cx, top = 16.0, 24.0
    bell = poly([(cx - 4, top + 3), (cx - 5, top + 10), (cx - 8, top + 14), (cx + 8, top + 14),
                 (cx + 5, top + 10), (cx + 4, top + 3)])
    items = [(bell, 1), (disc(cx, top + 3.5, 4.0), 1), (disc(cx, top - 1, 1.3), 1),
             (box(cx - 9, top + 14, cx + 9, top + 15), 1),
             (disc(cx, top + 17.5, 1.8), 1),
             (seg(cx - 2, top + 4, cx - 3, top + 10, 1.0), 0)]
    for side in (-1, 1):  # ringing marks
        for rad in (10.0, 13.0):
            def arc(x, y, side=side, rad=rad):
                d = np.hypot(x - cx, y - (top + 8))
                return (abs(d - rad) <= 0.5) & ((x - cx) * side > rad * 0.85)
            items.append((arc, 1))
    return Pic(w, h).paint(items)


# ---------------------------------------------------------------- the catalogue

def pictures(sizes):
    def sz(name):
        return sizes[name]

    p = {}
    p["Im_Heart1"] = heart(*sz("Im_Heart1"), HEART_SMALL)
    p["Im_Heart2"] = heart(*sz("Im_Heart2"), HEART_LARGE)
    for col in (2, 4, 6):
        w, h = sz(f"Im_Orco{col}Up")
        p[f"Im_Orco{col}Up"] = Pic(w, h).paint(ape_up(), placed((w - 1) / 2.0, h - 1))
        w, h = sz(f"Im_Orco{col}Down")
        p[f"Im_Orco{col}Down"] = Pic(w, h).paint(ape_down(), placed((w - 1) / 2.0, h - 1))
    w, h = sz("Im_OrcoFall")
    p["Im_OrcoFall"] = Pic(w, h).paint(ape_fallen(), placed(13.5, h - 1))

    p["Im_Key1"] = key_piece(*sz("Im_Key1"), 4)
    p["Im_Key2"] = key_piece(*sz("Im_Key2"), 4)
    p["Im_Key3"] = key_piece(*sz("Im_Key3"), 3)
    p["Im_Key4"] = key_piece(*sz("Im_Key4"), 4)
    p["Im_SbarreSu"] = bars_up(*sz("Im_SbarreSu"))
    p["Im_SbarreGiu"] = bars_down(*sz("Im_SbarreGiu"))

    # Cranes: the cab climbs the mast at the right edge; the jib points at
    # the girder (rest), at the hook's pivot (swing) or at the key pieces.
    w, h = sz("Im_Gru1")
    p["Im_Gru1"] = crane(w, h, (w - 6, h - 13), (2, 2), (w - 8, h - 12, w - 1, h - 2))
    w, h = sz("Im_Gru2")
    p["Im_Gru2"] = crane(w, h, (w - 7, 7), (1.5, 2), (w - 8, 6, w - 1, h - 2))
    w, h = sz("Im_Gru3")
    # The player rides up hanging from the hook at the jib's tip.
    rider = [(moved(s, 10, 23), v) for s, v in player(HANG)]
    p["Im_Gru3"] = crane(w, h, (w - 6, h - 14), (10, 3), (w - 8, h - 13, w - 1, h - 2),
                         extra=[(seg(10, 3, 10, 7, 1.0), 1)] + rider)

    # Hook frames: one rope from the crane tip, swung to five ends.
    ends = {1: (277, 140), 2: (285, 148), 3: (294, 151), 4: (305, 150), 5: (315, 145)}
    origins = {1: (275, 128), 2: (283, 131), 3: (293, 132), 4: (298, 134), 5: (304, 135)}
    for k in range(1, 6):
        p[f"Im_Gancio{k}"] = hook(origins[k], ends[k], *sz(f"Im_Gancio{k}"))

    # Barrels falling from the ape: lying, tumbling, end-on.
    p["Im_BarFall21"] = draw_barrel(*sz("Im_BarFall21"), barrel_side(0, 12.2, 7.6))
    p["Im_BarFall22"] = draw_barrel(*sz("Im_BarFall22"), barrel_side(90, 11.0, 8.0))
    p["Im_BarFall42"] = draw_barrel(*sz("Im_BarFall42"), barrel_side(90, 10.0, 7.6))
    p["Im_BarFall62"] = draw_barrel(*sz("Im_BarFall62"), barrel_side(90, 10.5, 7.8))
    p["Im_BarFall23"] = draw_barrel(*sz("Im_BarFall23"), barrel_end(20))
    p["Im_BarFall43"] = draw_barrel(*sz("Im_BarFall43"), barrel_end(50, 4.3))
    p["Im_BarFall63"] = draw_barrel(*sz("Im_BarFall63"), barrel_end(5, 4.3))
    # Rolling barrels: the cell's copies pick the angle for each column.
    for name, angle in (("Im_Bar14", 0), ("Im_Bar24", 45), ("Im_Bar34", 20), ("Im_Bar44", 65),
                        ("Im_Bar54", 30), ("Im_Bar16", 10), ("Im_Bar36", 55),
                        ("Im_Bar46", 80)):
        p[name] = draw_barrel(*sz(name), barrel_end(angle))
    w, h = sz("Im_Bar17")  # squashed as it tips over the end of the girder
    p["Im_Bar17"] = Pic(w, h).paint(
        [(ellipse(0, 0, 4.6, 3.0), 1), (seg(-2.5, 0, 2.5, 0, 1.0), 0), (disc(0, 0, 0.7), 1)],
        placed((w - 1) / 2.0, (h - 1) / 2.0))

    for k in range(2, 7):
        p[f"Im_Trave{k}"] = beam(*sz(f"Im_Trave{k}"))

    p["Im_LevaSu"] = lever(*sz("Im_LevaSu"), True)
    p["Im_LevaGiu"] = lever(*sz("Im_LevaGiu"), False)

    # The player faces the way the climb goes on: right on rows 7 and 2,
    # left on row 6 and at the lever; neighbouring columns take the other
    # stride so that a walk animates.
    P = draw_player
    p["Im_Omino22B"] = P(*sz("Im_Omino22B"), STAND, foot_x=11)
    p["Im_Omino22A"] = P(*sz("Im_Omino22A"), PULL, foot_x=10, foot_y=18, flip=True)
    p["Im_Omino42"] = P(*sz("Im_Omino42"), RUN_A, foot_x=11, foot_y=17)
    p["Im_Omino62"] = P(*sz("Im_Omino62"), RUN_B, foot_x=10)
    w, h = sz("Im_Omino62A")
    p["Im_Omino62A"] = P(w, h, LEAP, foot_x=8, foot_y=h - 2)
    w, h = sz("Im_Omino62B")
    p["Im_Omino62B"] = P(w, h, HANG, foot_x=11, foot_y=15)
    p["Im_Omino62C"] = P(*sz("Im_Omino62C"), TUMBLE, foot_x=9, foot_y=18)
    w, h = sz("Im_Omino62D")
    p["Im_Omino62D"] = P(w, h, TUMBLE, foot_x=11, foot_y=2, angle=180)
    p["Im_Omino62E"] = P(*sz("Im_Omino62E"), CHEER, foot_x=9)
    p["Im_Omino24"] = P(*sz("Im_Omino24"), CLIMB_A, foot_x=9.5, foot_y=20)
    p["Im_Omino25"] = P(*sz("Im_Omino25"), CLIMB_B, foot_x=9.5, foot_y=20)
    for col, pose in ((2, STAND), (3, RUN_A), (4, RUN_B), (5, RUN_A), (6, RUN_B)):
        w, h = sz(f"Im_Omino{col}6")
        p[f"Im_Omino{col}6"] = P(w, h, pose, flip=True)
        w, h = sz(f"Im_Omino{col}7")
        p[f"Im_Omino{col}7"] = P(w, h, pose)
    for name in ("Im_Omino46J", "Im_Omino56J"):
        w, h = sz(name)
        p[name] = P(w, h, JUMP, flip=True)
    for name in ("Im_Omino27J", "Im_Omino57J"):
        w, h = sz(name)
        p[name] = P(w, h, JUMP)

    p["Im_GameA"] = text(*sz("Im_GameA"), "GAME A", 2, 1)
    p["Im_GameB"] = text(*sz("Im_GameB"), "GAME B", 2, 0)
    p["Im_TimeAM"] = text(*sz("Im_TimeAM"), "AM", 1, 0)
    p["Im_TimePM"] = text(*sz("Im_TimePM"), "PM", 1, 0)
    p["Im_TimePP"] = Pic(*sz("Im_TimePP")).art(["...", ".##", ".##", "...", "...",
                                                  ".##", ".##", "...", "..."])
    p["Im_Alarm"] = alarm_bell(*sz("Im_Alarm"))
    p["Im_Vite1"] = life_icon(*sz("Im_Vite1"))
    for n in range(10):
        p[f"Im_Num{n}"] = digit(n)
    return p


def outputs(pics):
    """{path: bytes} of every file the tool makes."""
    files = {}
    for name, pic in sorted(pics.items()):
        files[OUT / f"{name}.pbm"] = pic.pbm().encode()
        for scale in SCALES:
            files[OUT / f"{scale}x" / f"{name}.png"] = png(pic.grey(scale))
    return files


def main():
    check = "--check" in sys.argv[1:]
    sizes = bitmap_sizes()
    pics = pictures(sizes)
    problems = []
    for name in sorted(set(sizes) - set(pics)):
        problems.append(f"{name}: no drawing")
    for name, pic in sorted(pics.items()):
        if name not in sizes:
            problems.append(f"{name}: not a bitmap element of the catalogue")
            continue
        if (pic.w, pic.h) != sizes[name]:
            problems.append(f"{name}: drawn {pic.w}x{pic.h}, catalogue says {sizes[name]}")
        if pic.px[pic.h - 1][0]:
            problems.append(f"{name}: bottom-left pixel is black")
        if not any(any(row) for row in pic.px):
            problems.append(f"{name}: empty")
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    stale = []
    for path, data in outputs(pics).items():
        if path.exists() and path.read_bytes() == data:
            continue
        stale.append(str(path.relative_to(OUT)))
        if not check:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
    if check and stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    print(f"{len(pics)} pictures at 1x and {', '.join(f'{s}x' for s in SCALES)}, "
          f"{len(stale)} files {'stale' if check else 'written'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
