#!/usr/bin/env python3
"""Draws ComboFlash's icons and picture and writes them for the resource script.

    tools/make-art.py [OUTPUT_DIR]        (default: resources/art)

Writes app.ico (the application icon: a disc struck by a flash), drive.ico
(an optical drive, the image of every drive-list row), status.ico (a firmware
chip, the status icon) and picture.bmp (the dialogs' picture, 24-bit).

Every icon holds 16x16 and 32x32 images, each twice: 32-bit with alpha for
current systems and 16-colour with a mask for old ones. Shapes are drawn at
eight times the size and averaged down, so edges are smooth. Standard library
only; the output is the same on every run.
"""
import math
import os
import struct
import sys

SUPERSAMPLE = 8


# --- drawing -----------------------------------------------------------------

class Canvas:
    """RGBA floats (0..1), drawn at SUPERSAMPLE times the output size. Shape
    predicates and paints take output-pixel coordinates."""

    def __init__(self, width, height, supersample=SUPERSAMPLE):
        self.width, self.height, self.scale = width, height, supersample
        self.big_w, self.big_h = width * supersample, height * supersample
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.big_w * self.big_h)]

    def fill(self, inside, paint, box=None):
        """Composites paint (an RGBA tuple or a function of x, y) over every
        sample where inside(x, y) holds, within box (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        s = self.scale
        bx0, by0 = max(0, int(x0 * s) - 1), max(0, int(y0 * s) - 1)
        bx1, by1 = min(self.big_w, int(math.ceil(x1 * s)) + 1), min(self.big_h, int(math.ceil(y1 * s)) + 1)
        constant = paint if isinstance(paint, tuple) else None
        for by in range(by0, by1):
            y = (by + 0.5) / s
            row = by * self.big_w
            for bx in range(bx0, bx1):
                x = (bx + 0.5) / s
                if not inside(x, y):
                    continue
                r, g, b, a = constant if constant else paint(x, y)
                p = self.pixels[row + bx]
                keep = 1.0 - a
                p[0] = r * a + p[0] * keep
                p[1] = g * a + p[1] * keep
                p[2] = b * a + p[2] * keep
                p[3] = a + p[3] * keep

    def clear(self, inside, box=None):
        """Makes the samples where inside(x, y) holds transparent again."""
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        s = self.scale
        for by in range(max(0, int(y0 * s) - 1), min(self.big_h, int(math.ceil(y1 * s)) + 1)):
            for bx in range(max(0, int(x0 * s) - 1), min(self.big_w, int(math.ceil(x1 * s)) + 1)):
                if inside((bx + 0.5) / s, (by + 0.5) / s):
                    self.pixels[by * self.big_w + bx] = [0.0, 0.0, 0.0, 0.0]

    def rgba(self):
        """Rows top to bottom of (r, g, b, a) bytes, averaged down (the colour
        channels are stored premultiplied, so the average is the right one)."""
        s, n = self.scale, self.scale * self.scale
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(s):
                    base = (y * s + sy) * self.big_w + x * s
                    for sx in range(s):
                        p = self.pixels[base + sx]
                        acc[0] += p[0]; acc[1] += p[1]; acc[2] += p[2]; acc[3] += p[3]
                a = acc[3] / n
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(tuple(to_byte(c / acc[3]) for c in acc[:3]) + (to_byte(a),))
            rows.append(row)
        return rows


def to_byte(v):
    return max(0, min(255, int(round(v * 255))))


def rgb(hex_colour, alpha=1.0):
    v = int(hex_colour.lstrip('#'), 16)
    return ((v >> 16 & 255) / 255, (v >> 8 & 255) / 255, (v & 255) / 255, alpha)


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def vertical(c0, c1, y0, y1):
    return lambda x, y: mix(c0, c1, (y - y0) / (y1 - y0))


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + radius - x, 0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0, y - (y1 - radius))
        return dx * dx + dy * dy <= radius * radius
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def near_outline(points, width):
    """Within width of the polygon's edges."""
    def distance(x, y, a, b):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy)
    edges = list(zip(points, points[1:] + points[:1]))
    return lambda x, y: any(distance(x, y, a, b) <= width for a, b in edges)


def scaled(points, size, dx=0.0, dy=0.0):
    return [(x * size + dx, y * size + dy) for x, y in points]


def bounds(points, margin):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (min(xs) - margin, min(ys) - margin, max(xs) + margin, max(ys) + margin)


# A lightning bolt in unit coordinates, pointing down and to the left.
BOLT = [(0.60, 0.00), (0.20, 0.56), (0.46, 0.56), (0.30, 1.00), (0.84, 0.38), (0.56, 0.38), (0.80, 0.00)]

INK = rgb('#1A1A2E')
BOLT_TOP, BOLT_BOTTOM = rgb('#FFF176'), rgb('#FFB300')


def draw_bolt(canvas, points, outline):
    canvas.fill(lambda x, y: polygon(points)(x, y) or near_outline(points, outline)(x, y), INK, bounds(points, outline))
    y0, y1 = min(p[1] for p in points), max(p[1] for p in points)
    canvas.fill(polygon(points), vertical(BOLT_TOP, BOLT_BOTTOM, y0, y1), bounds(points, 0))


def draw_disc(canvas, cx, cy, r, outline, background=None):
    """A silver disc with a rainbow sheen, its clamping ring and centre hole,
    through which the background (transparent without one) shows."""
    canvas.fill(circle(cx, cy, r + outline), INK, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def sheen(x, y):
        angle = math.atan2(y - cy, x - cx)
        hue = (angle / (2 * math.pi) + 0.5) * 6
        rainbow = [rgb('#FFB3C7'), rgb('#FFE9A8'), rgb('#B8F2C0'), rgb('#A8E4FF'), rgb('#C9B8FF'), rgb('#FFB3C7')]
        tint = mix(rainbow[int(hue) % 6], rainbow[(int(hue) + 1) % 6], hue - int(hue))
        light = 0.55 + 0.45 * abs(math.cos(2 * angle + 0.6))
        return mix(rgb('#8C95A6'), tint, light)

    canvas.fill(circle(cx, cy, r), sheen, (cx - r, cy - r, cx + r, cy + r))
    canvas.fill(circle(cx, cy, r * 0.36 + outline * 0.5), rgb('#6B7280'), (cx - r, cy - r, cx + r, cy + r))
    canvas.fill(circle(cx, cy, r * 0.36), rgb('#D9DEE7'), (cx - r, cy - r, cx + r, cy + r))
    hole = circle(cx, cy, r * 0.15)
    if background is None:
        canvas.clear(hole, (cx - r, cy - r, cx + r, cy + r))
    else:
        canvas.fill(hole, background, (cx - r, cy - r, cx + r, cy + r))


# --- the pictures ------------------------------------------------------------

def app_icon(size):
    """A disc struck by a lightning bolt."""
    c = Canvas(size, size)
    outline = 1.0 if size >= 32 else 0.75
    draw_disc(c, size * 0.42, size * 0.44, size * 0.38, outline)
    draw_bolt(c, scaled(BOLT, size * 0.58, size * 0.40, size * 0.38), outline)
    return c


def drive_icon(size):
    """The front of an optical drive: tray slot, eject button, busy light."""
    c = Canvas(size, size)
    u = size / 32.0
    x0, y0, x1, y1 = 1.5 * u, 9.5 * u, 30.5 * u, 23.5 * u
    c.fill(rounded_rect(x0 - u, y0 - u, x1 + u, y1 + u, 2.5 * u), INK)
    c.fill(rounded_rect(x0, y0, x1, y1, 1.5 * u), vertical(rgb('#F2F2F2'), rgb('#A9A9A9'), y0, y1))
    # bevel: a light top edge and a dark bottom edge
    c.fill(lambda x, y: y0 <= y <= y0 + 0.9 * u and x0 + u <= x <= x1 - u, rgb('#FFFFFF'))
    c.fill(lambda x, y: y1 - 1.2 * u <= y <= y1 and x0 + u <= x <= x1 - u, rgb('#808080'))
    # tray: a dark slot with a lighter lip under it
    c.fill(lambda x, y: 4 * u <= x <= 23 * u and 13.5 * u <= y <= 15.5 * u, rgb('#2B2B2B'))
    c.fill(lambda x, y: 4 * u <= x <= 23 * u and 15.5 * u < y <= 16.5 * u, rgb('#FFFFFF'))
    # eject button and the green busy light
    c.fill(rounded_rect(24.5 * u, 13 * u, 28 * u, 16 * u, 0.8 * u), rgb('#5A5A5A'))
    c.fill(circle(26.3 * u, 19.5 * u, 1.4 * u), rgb('#1FBF3A'))
    return c


def status_icon(size):
    """A firmware chip with a small flash on it."""
    c = Canvas(size, size)
    u = size / 32.0
    pins = 4 if size >= 32 else 3
    pitch = 18.0 / pins
    for i in range(pins):
        py = 7 * u + (i + 0.5) * pitch * u
        for px0, px1 in ((2 * u, 8 * u), (24 * u, 30 * u)):
            c.fill(lambda x, y, a=px0, b=px1, m=py: a <= x <= b and abs(y - m) <= 1.25 * u, rgb('#C0C0C0'))
            c.fill(lambda x, y, a=px0, b=px1, m=py: a <= x <= b and abs(y - m) <= 1.25 * u and (y - m) > 0.4 * u,
                   rgb('#808080'))
    c.fill(rounded_rect(5.5 * u, 4.5 * u, 26.5 * u, 27.5 * u, 3 * u), INK)
    c.fill(rounded_rect(6.5 * u, 5.5 * u, 25.5 * u, 26.5 * u, 2.2 * u),
           vertical(rgb('#22397A'), rgb('#1A2C5E'), 5.5 * u, 26.5 * u))
    c.fill(circle(9.5 * u, 8.5 * u, 1.2 * u), rgb('#8FA8CC'))  # pin-1 mark
    draw_bolt(c, scaled(BOLT, 15 * u, 9 * u, 8.5 * u), 0.8 * u)
    return c


def picture(width, height):
    """The dialogs' picture: a disc and a bolt on deep blue, and a row of
    progress segments under them."""
    c = Canvas(width, height, 4)
    background = vertical(rgb('#0B1D3A'), rgb('#2456A4'), 0, height)
    c.fill(lambda x, y: True, background)
    # a soft glow behind the disc
    cx, cy, r = width * 0.34, height * 0.44, height * 0.36

    def glow(x, y):
        d = math.hypot(x - cx, y - cy) / (r * 1.6)
        return rgb('#7FB8FF', max(0.0, 0.45 * (1 - d)))

    c.fill(circle(cx, cy, r * 1.6), glow, (cx - r * 2, cy - r * 2, cx + r * 2, cy + r * 2))
    draw_disc(c, cx, cy, r, 1.0, background)
    draw_bolt(c, scaled(BOLT, height * 0.74, width * 0.46, height * 0.05), 1.2)
    # progress: 16 segments, the first 11 lit
    segments, lit = 16, 11
    left, right, top, bottom = width * 0.08, width * 0.92, height * 0.86, height * 0.93
    step = (right - left) / segments
    for i in range(segments):
        colour = rgb('#5CE1FF') if i < lit else rgb('#27406A')
        a = left + i * step + 0.6
        c.fill(lambda x, y, a=a: a <= x <= a + step - 1.2 and top <= y <= bottom, colour)
    return c


# --- file formats ------------------------------------------------------------

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
       (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
       (255, 255, 255)]


def nearest_vga(r, g, b):
    return min(range(16), key=lambda i: (VGA[i][0] - r) ** 2 + (VGA[i][1] - g) ** 2 + (VGA[i][2] - b) ** 2)


def and_mask(rows, size):
    """1 bit per pixel, set where the icon is transparent; rows bottom-up,
    padded to 32 bits."""
    stride = (size + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def icon_image_32bit(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    return header + bytes(xor) + and_mask(rows, size)


def icon_image_4bit(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA)
    stride = (size * 4 + 31) // 32 * 4
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            index = nearest_vga(r, g, b) if a >= 128 else 0
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += line
    return header + palette + bytes(xor) + and_mask(rows, size)


def write_ico(path, draw):
    images = []  # (size, colour count, bits per pixel, data)
    for size in (16, 32):
        rows = draw(size).rgba()
        images.append((size, 16, 4, icon_image_4bit(rows, size)))
        images.append((size, 0, 32, icon_image_32bit(rows, size)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, colours, bpp, data in images:
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for image in images:
        out += image[3]
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp(path, canvas):
    rows = canvas.rgba()
    width, height = canvas.width, canvas.height
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:  # the background leaves nothing transparent
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


PICTURE_SIZE = (96, 56)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'resources', 'art')
    os.makedirs(out_dir, exist_ok=True)
    write_ico(os.path.join(out_dir, 'app.ico'), app_icon)
    write_ico(os.path.join(out_dir, 'drive.ico'), drive_icon)
    write_ico(os.path.join(out_dir, 'status.ico'), status_icon)
    write_bmp(os.path.join(out_dir, 'picture.bmp'), picture(*PICTURE_SIZE))


if __name__ == '__main__':
    main()
