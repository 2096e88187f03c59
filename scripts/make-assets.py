#!/usr/bin/env python3
"""Draws the program's skin bitmaps and icons into res/skins/.

Python 3 standard library only: shapes are signed distance functions
rasterised with one-pixel anti-aliasing, and the BMP, ICO and PNG files are
written byte by byte. Every image is drawn at its final size, so small icons
get strokes that suit them instead of a blurred downscale.

Every skin bitmap is drawn at each display scale the program loads (100,
125, 150, 175, 200, 250 and 300 %): the shapes are written in 96-DPI units
and rasterised on the scaled pixel grid, cell by cell, each cell (a face, a
tile, an icon) its 96-DPI size scaled as the program scales it,
MulDiv(v, dpi, 96). A scale's bitmap is <id + 1000 * scale index>.bmp, and
skins-scaled.rc lists them for the resource script.

One look for the whole program: soft greys, white bodies, the blue
highlight (86, 121, 179) of the toolkit's colour table, and the status
green (143, 184, 90) and red (219, 68, 68) of the main window's panel.

Usage: scripts/make-assets.py [--scales=100,175] [output folder]
  (default: every scale, into res/skins). --scales draws only the skins at
  those percentages (the icons and skins-scaled.rc are always written): the
  reproducibility test compares such a subset with the committed files.
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Palette

WHITE = (255, 255, 255)
HIGHLIGHT = (86, 121, 179)          # list highlight, selection mark
HIGHLIGHT_DARK = (66, 98, 152)
HIGHLIGHT_LIGHT = (134, 163, 209)
TEXT = (70, 70, 72)
PROTECTED = (143, 184, 90)          # status panel, protected
AT_RISK = (219, 68, 68)             # status panel, at risk
FRAME_BORDER = (176, 179, 185)      # outer and inner pixel of every window edge
FRAME_EDGE = (230, 231, 234)        # the light pixel between them

BADGE_COLOURS = {
    "blue": ((112, 148, 206), (64, 97, 156)),
    "red": ((234, 102, 102), (190, 48, 48)),
    "green": ((166, 204, 112), (110, 158, 62)),
}


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# --------------------------------------------------------------------------
# Signed distance functions (negative inside), coordinates in pixels with
# pixel centres at i + 0.5.

def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_round_box(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return f


def sd_segment(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = clamp01(((x - ax) * dx + (y - ay) * dy) / length2)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return f


def sd_polyline(points, r):
    parts = [sd_segment(*points[i], *points[i + 1], r) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def sd_polygon(points):
    n = len(points)

    def f(x, y):
        d = (x - points[0][0]) ** 2 + (y - points[0][1]) ** 2
        sign = 1.0
        j = n - 1
        for i in range(n):
            vx, vy = points[i]
            wx, wy = points[j]
            ex, ey = wx - vx, wy - vy
            px, py = x - vx, y - vy
            t = clamp01((px * ex + py * ey) / (ex * ex + ey * ey or 1e-9))
            bx, by = px - ex * t, py - ey * t
            d = min(d, bx * bx + by * by)
            c1 = y >= vy
            c2 = y < wy
            c3 = ex * py > ey * px
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(d)
    return f


def sd_ring(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2


def sd_offset(shape, amount):
    return lambda x, y: shape(x, y) - amount


def sd_union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def sd_subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def sd_intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def quad_bezier(p0, p1, p2, steps):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        pts.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return pts


# --------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats (0..255 for colour, 0..1 for alpha).

def scale(v, dpi):
    """v at dpi as the program scales it: MulDiv(v, dpi, 96), halves up."""
    return (v * dpi + 48) // 96


# The scale and the cell grid the painters draw at; main() sets them for
# each bitmap. At 96 DPI every mapping below is the identity, so the 100 %
# skins come out exactly as they were drawn before there were scales.
DRAW_DPI = 96
DRAW_GRID = (1, 1)


class Canvas:
    """Coordinates given to fill, paint and the colour functions are 96-DPI
    units; the pixels are those of the scaled grid. Each cell of the grid is
    mapped on its own, so cells start at whole pixels at every scale."""

    def __init__(self, width, height, background=WHITE, alpha=1.0, dpi=None, grid=None):
        self.dpi = DRAW_DPI if dpi is None else dpi
        self.cols, self.rows = DRAW_GRID if grid is None else grid
        self.s = self.dpi / 96
        self.cw, self.ch = width / self.cols, height / self.rows
        self.scw = scale(int(self.cw), self.dpi)
        self.sch = scale(int(self.ch), self.dpi)
        self.w, self.h = self.scw * self.cols, self.sch * self.rows
        r, g, b = background
        self.px = [[r * alpha, g * alpha, b * alpha, alpha] for _ in range(self.w * self.h)]

    def design_x(self, px):
        i = px // self.scw
        return i * self.cw + (px - i * self.scw + 0.5) / self.s

    def design_y(self, py):
        i = py // self.sch
        return i * self.ch + (py - i * self.sch + 0.5) / self.s

    def device_x(self, x):
        i = min(max(math.floor(x / self.cw), 0), self.cols)
        return i * self.scw + (x - i * self.cw) * self.s

    def device_y(self, y):
        i = min(max(math.floor(y / self.ch), 0), self.rows)
        return i * self.sch + (y - i * self.ch) * self.s

    def device_box(self, box):
        x0, y0, x1, y1 = box if box else (0, 0, self.w / self.s, self.h / self.s)
        if box is None:
            return 0, 0, self.w, self.h
        x0, y0 = max(0, int(self.device_x(x0))), max(0, int(self.device_y(y0)))
        x1 = min(self.w, int(math.ceil(self.device_x(x1))))
        y1 = min(self.h, int(math.ceil(self.device_y(y1))))
        return x0, y0, x1, y1

    def fill(self, shape, colour, opacity=1.0, box=None, soft=1.0):
        """Paints colour (a tuple or a function of x, y) where shape < 0,
        anti-aliased over `soft` pixels (one device pixel for 1.0; wider
        softness grows with the scale)."""
        x0, y0, x1, y1 = self.device_box(box)
        soft = 1.0 + (soft - 1.0) * self.s
        s = self.s
        colour_at = colour if callable(colour) else (lambda x, y, c=colour: c)
        for py in range(y0, y1):
            row = py * self.w
            cy = self.design_y(py)
            for px in range(x0, x1):
                cx = self.design_x(px)
                d = shape(cx, cy) * s
                if d >= soft / 2:
                    continue
                k = clamp01(0.5 - d / soft) * opacity
                if k <= 0.0:
                    continue
                c = colour_at(cx, cy)
                p = self.px[row + px]
                p[0] = c[0] * k + p[0] * (1 - k)
                p[1] = c[1] * k + p[1] * (1 - k)
                p[2] = c[2] * k + p[2] * (1 - k)
                p[3] = k + p[3] * (1 - k)

    def paint(self, colour_at, box=None):
        """Sets every pixel of the box to colour_at(x, y), opaque."""
        x0, y0, x1, y1 = self.device_box(box)
        for py in range(y0, y1):
            cy = self.design_y(py)
            for px in range(x0, x1):
                c = colour_at(self.design_x(px), cy)
                self.px[py * self.w + px] = [c[0], c[1], c[2], 1.0]

    def rgb(self, x, y):
        p = self.px[y * self.w + x]
        a = p[3]
        if a <= 0.0:
            return (0, 0, 0)
        return tuple(int(round(min(255.0, max(0.0, p[i] / a)))) for i in range(3))

    def rgba(self, x, y):
        r, g, b = self.rgb(x, y)
        return (r, g, b, int(round(clamp01(self.px[y * self.w + x][3]) * 255)))

    def blit(self, src, sx, sy, w, h, dx, dy):
        """Copies w x h pixels (device pixels, not 96-DPI units)."""
        for y in range(h):
            for x in range(w):
                self.px[(dy + y) * self.w + dx + x] = list(src.px[(sy + y) * src.w + sx + x])


# --------------------------------------------------------------------------
# File writers

def bmp24_bytes(canvas):
    row_size = (canvas.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b = canvas.rgb(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def png_bytes(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = bytearray()
    for y in range(canvas.h):
        raw.append(0)
        for x in range(canvas.w):
            raw += bytes(canvas.rgba(x, y))
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_dib_bytes(canvas):
    """A 32-bit icon image: BITMAPINFOHEADER (double height), BGRA rows
    bottom-up, then the 1-bit AND mask (1 = transparent)."""
    w, h = canvas.w, canvas.h
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            colour += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(w):
            if canvas.rgba(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico_bytes(canvases):
    images = []
    for c in canvases:
        images.append(png_bytes(c) if c.w >= 256 else ico_dib_bytes(c))
    header = struct.pack("<HHH", 0, 1, len(canvases))
    offset = len(header) + 16 * len(canvases)
    entries = b""
    for c, data in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(images)


# --------------------------------------------------------------------------
# Window frames (5376 main window, 5377 and 5378 secondary windows)

def main_band_colour(y):
    """Blue title band of the main window, rows 0 to 42."""
    if y < 1.0:
        return (72, 104, 158)
    if y < 2.0:
        return (128, 160, 212)      # a one-pixel sheen under the top edge
    if y >= 42.0:
        return (64, 94, 146)        # closing line of the band
    return mix((108, 143, 200), (80, 114, 171), (y - 2.0) / 40.0)


def secondary_band_colour(y):
    """Soft grey caption strip of the secondary windows and the message box,
    rows 0 to 28 (the rows that drag the window)."""
    if y < 1.0:
        return (206, 208, 212)
    if y >= 28.0:
        return (221, 222, 225)
    return mix((250, 250, 251), (237, 238, 240), (y - 1.0) / 27.0)


def draw_window(width, height, band_rows, band_colour, band_border):
    """A miniature window: a rounded outline with a three-pixel grey edge,
    a band of band_rows rows at the top and a white body.

    The windows paint both side edges with one 3 x 1 piece cut from the
    left edge, unmirrored, so the edge reads the same from outside in and
    from inside out: grey, light, grey."""
    c = Canvas(width, height, FRAME_BORDER, grid=(1, 1))
    outline = sd_round_box(0, 0, width, height, 4.5)

    def colour(x, y):
        d = -outline(x, y)            # distance inside the outline
        if y < band_rows:
            return band_border if d < 1.0 else band_colour(y)
        if d < 1.0 or 2.0 <= d < 3.0:
            return FRAME_BORDER
        if d < 2.0:
            return FRAME_EDGE
        return WHITE

    c.paint(colour)
    return c


def frame_skin(top_rows, band_rows, band_colour, band_border):
    """Cuts a frame skin 320 wide: the window's top rows, then its bottom
    four rows (at a scale: its last four rows scaled, the rest from the
    window's top; the program cuts the bottom edge from the skin's end)."""
    window = draw_window(320, top_rows + 24, band_rows, band_colour, band_border)
    skin = Canvas(320, top_rows + 4, grid=(1, 1))
    bottom = scale(4, skin.dpi)
    skin.blit(window, 0, 0, skin.w, skin.h - bottom, 0, 0)
    skin.blit(window, 0, window.h - bottom, skin.w, bottom, 0, skin.h - bottom)
    return skin


def skin_main_frame():
    return frame_skin(56, 43, main_band_colour, (72, 104, 158))


def skin_secondary_frame():
    return frame_skin(43, 29, secondary_band_colour, (190, 193, 198))


# --------------------------------------------------------------------------
# Caption buttons: state strips of three 17-row faces on the band they sit
# on (rows 1 to 17 of the window).

def caption_strip(width, band_colour, glyph, normal_ink, hover_fill, press_fill, hover_ink,
                  press_ink):
    c = Canvas(width, 51)
    for state in range(3):
        top = state * 17
        c.paint(lambda x, y, t=top: band_colour(y - t + 1), box=(0, top, width, top + 17))
        if state > 0:
            fill = hover_fill if state == 1 else press_fill
            c.fill(sd_round_box(1, top + 1, width - 1, top + 16, 3), fill,
                   box=(0, top, width, top + 17))
        ink = normal_ink if state == 0 else hover_ink if state == 1 else press_ink
        c.fill(glyph(width / 2, top + 8.5), ink, box=(0, top, width, top + 17))
    return c


def glyph_cross(cx, cy):
    return sd_union(sd_segment(cx - 3.5, cy - 3.5, cx + 3.5, cy + 3.5, 0.75),
                    sd_segment(cx - 3.5, cy + 3.5, cx + 3.5, cy - 3.5, 0.75))


def glyph_bar(cx, cy):
    return sd_segment(cx - 4, cy + 3, cx + 4, cy + 3, 0.85)


def glyph_lines(cx, cy):
    return sd_union(*(sd_segment(cx - 4.5, cy + dy, cx + 4.5, cy + dy, 0.6) for dy in (-3, 0, 3)))


def skin_close_secondary():
    return caption_strip(41, secondary_band_colour, glyph_cross, (104, 107, 113), HIGHLIGHT,
                         HIGHLIGHT_DARK, WHITE, WHITE)


def main_caption(width, glyph):
    return caption_strip(width, main_band_colour, glyph, (238, 243, 250), (122, 155, 210),
                         (58, 86, 136), WHITE, (220, 228, 240))


def skin_close_main():
    return main_caption(41, glyph_cross)


def skin_minimise():
    return main_caption(23, glyph_bar)


def skin_menu():
    return main_caption(23, glyph_lines)


# --------------------------------------------------------------------------
# Push button (5456): four framed 37 x 37 tiles, and the drop-down arrow
# (5411) that sits on it.

BUTTON_STATES = [
    # border, fill top, fill bottom
    ((192, 195, 201), (253, 253, 254), (234, 235, 238)),   # normal
    (HIGHLIGHT_LIGHT, (249, 251, 254), (226, 233, 245)),   # hovered
    (HIGHLIGHT, (218, 227, 242), (233, 238, 247)),         # pressed
    ((221, 222, 225), (247, 247, 248), (244, 244, 245)),   # disabled
]


def button_fill(state, y):
    _, top, bottom = BUTTON_STATES[state]
    return mix(top, bottom, clamp01((y - 1.0) / 35.0))


def skin_push_button():
    c = Canvas(37, 148)
    for state, (border, _, _) in enumerate(BUTTON_STATES):
        top = state * 37
        body = sd_round_box(0, top, 37, top + 37, 4)
        c.fill(body, border, box=(0, top, 37, top + 37))
        inner = sd_round_box(1, top + 1, 36, top + 36, 3)
        c.fill(inner, lambda x, y, s=state, t=top: button_fill(s, y - t), box=(0, top, 37, top + 37))
        if state in (0, 1):   # a light sheen on the first inner row
            c.fill(sd_intersect(inner, lambda x, y, t=top: abs(y - (t + 1.5)) - 0.5), WHITE,
                   opacity=0.7, box=(0, top, 37, top + 3))
    return c


ARROW_INKS = [(104, 107, 113), HIGHLIGHT, HIGHLIGHT_DARK, (188, 190, 194)]


def skin_drop_arrow():
    # Each 9 x 5 face lies on the button's face rows 17 to 21 of the same
    # state, so its background is that state's fill.
    c = Canvas(9, 20)
    for state in range(4):
        top = state * 5
        c.paint(lambda x, y, t=top, st=state: button_fill(st, 17 + y - t), box=(0, top, 9, top + 5))
        tri = sd_offset(sd_polygon([(1.3, top + 0.9), (7.7, top + 0.9), (4.5, top + 4.4)]), 0.15)
        c.fill(tri, ARROW_INKS[state], box=(0, top, 9, top + 5))
    return c


# --------------------------------------------------------------------------
# Choice boxes (5409): radio column x 0, check box column x 13; six 14-row
# cells: normal, hovered, disabled, each unchecked then checked.

CHOICE_LOOKS = [
    # border, fill top, fill bottom, mark colour (checked)
    ((160, 165, 172), (255, 255, 255), (238, 239, 242), HIGHLIGHT),         # normal
    (HIGHLIGHT, (246, 249, 254), (228, 236, 248), (104, 139, 197)),          # hovered
    ((212, 213, 216), (247, 247, 248), (243, 243, 244), (190, 192, 196)),    # disabled
]


def skin_choice():
    c = Canvas(26, 84)
    for look, (border, top_fill, bottom_fill, mark) in enumerate(CHOICE_LOOKS):
        for checked in (0, 1):
            top = (look * 2 + checked) * 14
            box = (0, top, 26, top + 14)

            def fill(x, y, t=top, a=top_fill, b=bottom_fill):
                return mix(a, b, clamp01((y - t - 1) / 12))

            # Radio: a ring with a dot when checked.
            outer = sd_circle(6.5, top + 7, 6.0)
            c.fill(outer, border if not checked else mark, box=box)
            c.fill(sd_circle(6.5, top + 7, 5.0), fill, box=box)
            if checked:
                c.fill(sd_circle(6.5, top + 7, 2.9), mark, box=box)
            # Check box: a rounded square, filled with the mark colour and a
            # white tick when checked.
            square = sd_round_box(13.5, top + 1, 25.5, top + 13, 2.5)
            inner = sd_round_box(14.5, top + 2, 24.5, top + 12, 1.7)
            if checked:
                c.fill(square, mark, box=box)
                tick = sd_polyline([(16.4, top + 7.2), (18.6, top + 9.5), (22.6, top + 4.6)], 0.8)
                c.fill(tick, WHITE, box=box)
            else:
                c.fill(square, border, box=box)
                c.fill(inner, fill, box=box)
    return c


# --------------------------------------------------------------------------
# Round badges and glyphs

def draw_shadow(c, cx, cy, r, strength):
    c.fill(sd_circle(cx, cy + r * 0.06, r), (40, 44, 52), opacity=strength, soft=max(1.5, r * 0.12))


def draw_disc(c, cx, cy, r, top, bottom, rim=True):
    def gradient(x, y):
        return mix(top, bottom, clamp01((y - (cy - r)) / (2 * r)))
    box = (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2)
    c.fill(sd_circle(cx, cy, r), gradient, box=box)
    if rim and r >= 10:
        c.fill(sd_ring(sd_circle(cx, cy, r - 0.5), 1.0), mix(bottom, (0, 0, 0), 0.12), opacity=0.6, box=box)
    return gradient


def draw_screen_badge(c, cx, cy, r, top, bottom):
    """The program's mark: a round badge with a crossed-out screen."""
    gradient = draw_disc(c, cx, cy, r, top, bottom)
    small = r < 10
    stroke = max(1.05 if small else 1.2, r * 0.095)
    box = (cx - r, cy - r, cx + r, cy + r)
    # Screen: a rounded outline with its stand.
    sw, sh = r * 0.52, r * 0.35
    sy = cy - r * 0.10
    screen = sd_round_box(cx - sw, sy - sh, cx + sw, sy + sh, max(0.8, r * 0.08))
    c.fill(sd_ring(sd_offset(screen, -stroke / 2), stroke), WHITE, box=box)
    neck_top = sy + sh
    base_y = cy + r * 0.50
    c.fill(sd_segment(cx, neck_top, cx, base_y, stroke * 0.5), WHITE, box=box)
    c.fill(sd_segment(cx - r * 0.24, base_y, cx + r * 0.24, base_y, stroke * 0.5), WHITE, box=box)
    # The slash, cut out of the screen by a gap of the badge's own colour.
    a = (cx - r * 0.56, cy - r * 0.56)
    b = (cx + r * 0.56, cy + r * 0.56)
    if not small:
        c.fill(sd_segment(*a, *b, stroke * 1.45), gradient, box=box)
    c.fill(sd_segment(*a, *b, stroke * 0.62), WHITE, box=box)


def badge_icon(size, colour):
    top, bottom = BADGE_COLOURS[colour]
    c = Canvas(size, size, (0, 0, 0), alpha=0.0, dpi=96, grid=(1, 1))
    r = size * 0.46 if size >= 32 else size / 2 - 0.6
    cx = cy = size / 2
    if size >= 32:
        cy -= size * 0.01
        draw_shadow(c, cx, cy + size * 0.012, r, 0.30)
    draw_screen_badge(c, cx, cy, r, top, bottom)
    return c


def skin_logo():
    c = Canvas(108, 90)
    top, bottom = BADGE_COLOURS["blue"]
    draw_shadow(c, 54, 45.5, 40, 0.22)
    draw_screen_badge(c, 54, 44.5, 40, top, bottom)
    return c


# Message-box icons (5408): information, question, exclamation, cross, bar.

def skin_message_icons():
    c = Canvas(240, 48)
    blue_top, blue_bottom = BADGE_COLOURS["blue"]
    red_top, red_bottom = BADGE_COLOURS["red"]
    for cell in range(5):
        ox = cell * 48
        cx, cy, r = ox + 24, 23.5, 20.5
        box = (ox, 0, ox + 48, 48)
        if cell == 2:
            # Exclamation: a rounded amber triangle.
            tri = sd_offset(sd_polygon([(cx, 6.5), (ox + 43.5, 40.0), (ox + 4.5, 40.0)]), 2.5)
            c.fill(sd_offset(tri, 0.0), (40, 44, 52), opacity=0.20, soft=3.0, box=box)
            c.fill(tri, lambda x, y: mix((247, 186, 72), (226, 148, 28), clamp01((y - 4) / 38)),
                   box=box)
            c.fill(sd_segment(cx, 17, cx, 29, 2.3), WHITE, box=box)
            c.fill(sd_circle(cx, 35, 2.5), WHITE, box=box)
            continue
        top, bottom = (blue_top, blue_bottom) if cell < 2 else (red_top, red_bottom)
        draw_shadow(c, cx, cy + 0.5, r, 0.25)
        draw_disc(c, cx, cy, r, top, bottom)
        if cell == 0:    # i
            c.fill(sd_circle(cx, cy - 9, 2.7), WHITE, box=box)
            c.fill(sd_segment(cx, cy - 3, cx, cy + 10, 2.3), WHITE, box=box)
        elif cell == 1:  # ?
            arc = [(cx + 7.5 * math.cos(a), cy - 5 + 6.5 * math.sin(a))
                   for a in [math.radians(d) for d in range(200, 361, 16)]]
            hook = quad_bezier(arc[-1], (cx + 7.5, cy + 1.5), (cx, cy + 4), 6)
            c.fill(sd_polyline(arc + hook[1:] + [(cx, cy + 6)], 2.3), WHITE, box=box)
            c.fill(sd_circle(cx, cy + 11.5, 2.6), WHITE, box=box)
        elif cell == 3:  # cross
            c.fill(sd_union(sd_segment(cx - 7, cy - 7, cx + 7, cy + 7, 2.3),
                            sd_segment(cx - 7, cy + 7, cx + 7, cy - 7, 2.3)), WHITE, box=box)
        else:            # bar
            c.fill(sd_segment(cx - 10, cy, cx + 10, cy, 2.8), WHITE, box=box)
    return c


# --------------------------------------------------------------------------
# Main window status shields (5459) and lock marks (5460, 5461, 5462)

def shield_shape(ox):
    cx = ox + 15.5
    right = [(cx, 2.0)] + quad_bezier((cx, 2.0), (ox + 22.0, 6.0), (ox + 28.5, 6.0), 6)[1:]
    right += [(ox + 28.5, 19.0)]
    right += quad_bezier((ox + 28.5, 19.0), (ox + 28.0, 33.0), (cx, 39.5), 10)[1:]
    left = [(2 * cx - x, y) for (x, y) in reversed(right[1:-1])]
    return sd_polygon(right + left)


def skin_status_shields():
    c = Canvas(62, 41)
    for cell, panel in enumerate((PROTECTED, AT_RISK)):
        ox = cell * 31
        box = (ox, 0, ox + 31, 41)
        c.paint(lambda x, y, p=panel: p, box=(ox, 0, ox + 31, 41))
        shield = shield_shape(ox)
        c.fill(sd_offset(shield, 0.3), mix(panel, (0, 0, 0), 0.25), opacity=0.35, soft=2.0, box=box)
        c.fill(shield, mix(panel, WHITE, 0.22), box=box)
        c.fill(sd_ring(sd_offset(shield, -0.9), 1.8), WHITE, box=box)
        cx = ox + 15.5
        if cell == 0:
            c.fill(sd_polyline([(cx - 6, 21), (cx - 1.8, 25.5), (cx + 6.5, 15.5)], 1.7), WHITE, box=box)
        else:
            c.fill(sd_union(sd_segment(cx - 5, 15, cx + 5, 25, 1.7),
                            sd_segment(cx - 5, 25, cx + 5, 15, 1.7)), WHITE, box=box)
    return c


def lock_mark(fill_top, fill_bottom):
    c = Canvas(13, 13)
    c.fill(sd_round_box(0, 0, 13, 13, 3.0), lambda x, y: mix(fill_top, fill_bottom, clamp01(y / 13)))
    # A small white padlock.
    c.fill(sd_round_box(3.5, 6.0, 9.5, 10.5, 1.0), WHITE)
    shackle = sd_intersect(sd_ring(sd_circle(6.5, 5.6, 1.9), 1.1), lambda x, y: y - 6.2)
    c.fill(shackle, WHITE)
    return c


def skin_lock_blocked():
    return lock_mark((160, 200, 108), (120, 164, 70))


def skin_lock_unblocked():
    return lock_mark((232, 98, 98), (198, 52, 52))


def skin_lock_shared():
    # Amber: held, yet the system still lets other programs open the camera.
    return lock_mark((246, 190, 72), (222, 146, 28))


# --------------------------------------------------------------------------

BITMAPS = [
    # id, 96-DPI size, cell grid (columns, rows), painter, what it is
    (5376, (320, 60), (1, 1), skin_main_frame, "main window frame"),
    (5377, (320, 47), (1, 1), skin_secondary_frame, "Settings and About frame"),
    (5378, (320, 47), (1, 1), skin_secondary_frame, "message box and language window frame"),
    (5392, (41, 51), (1, 3), skin_close_secondary, "close button, secondary windows"),
    (5393, (41, 51), (1, 3), skin_close_main, "close button, main window"),
    (5394, (23, 51), (1, 3), skin_minimise, "hide button, main window"),
    (5395, (23, 51), (1, 3), skin_menu, "menu button, main window"),
    (5408, (240, 48), (5, 1), skin_message_icons, "message-box icons"),
    (5409, (26, 84), (2, 6), skin_choice, "radio and check box faces"),
    (5411, (9, 20), (1, 4), skin_drop_arrow, "drop-down arrow"),
    (5456, (37, 148), (1, 4), skin_push_button, "push button faces"),
    (5457, (108, 90), (1, 1), skin_logo, "logo"),
    (5459, (62, 41), (2, 1), skin_status_shields, "status shields"),
    (5460, (13, 13), (1, 1), skin_lock_blocked, "lock mark, blocked"),
    (5461, (13, 13), (1, 1), skin_lock_unblocked, "lock mark, unblocked"),
    (5462, (13, 13), (1, 1), skin_lock_shared, "lock mark, held but shared"),
]

# The display scales, as DPIs (100 to 300 %), in the program's order
# (ui/toolkit/DpiScaling.h, kSkinScaleDpis); scale i of skin id is resource
# id + i * SCALE_ID_STEP.
SCALE_DPIS = [96, 120, 144, 168, 192, 240, 288]
SCALE_ID_STEP = 1000

ICONS = [(101, "blue"), (102, "red"), (103, "green")]
# The sizes the shell asks for at those scales: small icons 16 to 40,
# large ones 32 to 64, and the big views' 128 and 256.
ICON_SIZES = [16, 20, 24, 28, 32, 40, 48, 64, 128, 256]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def expected_size(size, grid, dpi):
    """The scaled bitmap's size: whole cells of the scaled cell size, the
    frames (one cell) their 96-DPI size scaled."""
    (w, h), (cols, rows) = size, grid
    return scale(w // cols, dpi) * cols, scale(h // rows, dpi) * rows


def draw_bitmap(job):
    """One skin at one scale: (file name, BMP bytes). Runs in a worker."""
    global DRAW_DPI, DRAW_GRID
    ident, size, grid, index = job
    painter = next(b[3] for b in BITMAPS if b[0] == ident)
    DRAW_DPI, DRAW_GRID = SCALE_DPIS[index], grid
    canvas = painter()
    if (canvas.w, canvas.h) != expected_size(size, grid, DRAW_DPI):
        raise SystemExit(f"{ident} at {DRAW_DPI} DPI: drawn {canvas.w} x {canvas.h}")
    return f"{ident + index * SCALE_ID_STEP}.bmp", bmp24_bytes(canvas)


def scaled_rc():
    lines = ["// Written by scripts/make-assets.py: every skin at 125 to 300 %, each",
             "// scale's resource id the 100 % id + 1000 * the scale's index.", ""]
    for index, dpi in enumerate(SCALE_DPIS[1:], start=1):
        lines.append(f"// {dpi * 100 // 96} %")
        for ident, _, _, _, what in BITMAPS:
            scaled = ident + index * SCALE_ID_STEP
            lines.append(f'{scaled} BITMAP "skins/{scaled}.bmp"   // {what}')
        lines.append("")
    return "\n".join(lines).encode("ascii")


def main():
    import multiprocessing
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    args = sys.argv[1:]
    percents = [dpi * 100 // 96 for dpi in SCALE_DPIS]
    wanted = percents
    if args and args[0].startswith("--scales="):
        wanted = [int(p) for p in args.pop(0)[len("--scales="):].split(",")]
        unknown = [p for p in wanted if p not in percents]
        if unknown:
            raise SystemExit(f"no drawn scale of {unknown} %; the scales are {percents}")
    out = args[0] if args else os.path.join(root, "res", "skins")
    os.makedirs(out, exist_ok=True)
    jobs = [(ident, size, grid, index) for index in range(len(SCALE_DPIS))
            for ident, size, grid, _, _ in BITMAPS if percents[index] in wanted]
    # The large scales take most of the time: they go first.
    jobs.sort(key=lambda j: -SCALE_DPIS[j[3]])
    with multiprocessing.Pool(int(os.environ.get("JOBS", "2"))) as pool:
        for name, data in pool.imap_unordered(draw_bitmap, jobs):
            write(os.path.join(out, name), data)
    for ident, colour in ICONS:
        write(os.path.join(out, f"{ident}.ico"), ico_bytes([badge_icon(s, colour) for s in ICON_SIZES]))
    write(os.path.join(out, "skins-scaled.rc"), scaled_rc())


if __name__ == "__main__":
    main()
