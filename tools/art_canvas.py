# tools/art_canvas.py - a small anti-aliased raster canvas for the program's
# pictures: signed-distance shapes, gradients, text masks from ImageMagick,
# and writers for 24-bit BMP files and multi-size ICO files.
#
# Pure Python 3 standard library, except that text is rasterised by
# ImageMagick's `convert` (a grey mask read back as PGM).

import math
import struct
import subprocess

# ---------------------------------------------------------------------------
# Small helpers


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c1, c2, t):
    """Linear mix of two RGB tuples; t = 0 gives c1."""
    return (c1[0] + (c2[0] - c1[0]) * t,
            c1[1] + (c2[1] - c1[1]) * t,
            c1[2] + (c2[2] - c1[2]) * t)


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def hexrgb(s):
    s = s.lstrip('#')
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


# ---------------------------------------------------------------------------
# Signed distance functions: negative inside, in pixels.


def sd_round_rect(x0, y0, x1, y1, r):
    """Rounded rectangle covering the pixel area [x0, x1) x [y0, y1)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hw, hh = (x1 - x0) / 2.0, (y1 - y0) / 2.0
    r = min(r, hw, hh)

    def f(px, py):
        qx = abs(px - cx) - hw + r
        qy = abs(py - cy) - hh + r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def sd_circle(cx, cy, r):
    def f(px, py):
        return math.hypot(px - cx, py - cy) - r
    return f


def sd_segment(ax, ay, bx, by, r):
    """Capsule: a segment with round caps, half width r."""
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def f(px, py):
        t = clamp(((px - ax) * dx + (py - ay) * dy) / ll)
        return math.hypot(px - ax - t * dx, py - ay - t * dy) - r
    return f


def sd_polygon(points):
    """Exact distance to a simple polygon (even-odd inside test)."""
    n = len(points)

    def f(px, py):
        best = 1e18
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = px - ax, py - ay
            ll = ex * ex + ey * ey or 1e-9
            t = clamp((wx * ex + wy * ey) / ll)
            d = (wx - ex * t) ** 2 + (wy - ey * t) ** 2
            if d < best:
                best = d
            if (ay > py) != (by > py):
                xc = ax + (py - ay) * ex / (ey if ey else 1e-9)
                if px < xc:
                    inside = not inside
        d = math.sqrt(best)
        return -d if inside else d
    return f


def sd_arc(cx, cy, radius, half_width, a0, a1, half_width_end=None):
    """A ring segment from angle a0 to a1 (radians; angles grow clockwise on
    screen, y pointing down), with round caps. With half_width_end the
    stroke tapers from half_width at a0 to half_width_end at a1."""
    hw1 = half_width if half_width_end is None else half_width_end
    ends = [((cx + radius * math.cos(a), cy + radius * math.sin(a)), w)
            for a, w in ((a0, half_width), (a1, hw1))]
    span = (a1 - a0) % (2 * math.pi) or 2 * math.pi

    def f(px, py):
        rel = (math.atan2(py - cy, px - cx) - a0) % (2 * math.pi)
        if rel <= span:
            w = half_width + (hw1 - half_width) * rel / span
            return abs(math.hypot(px - cx, py - cy) - radius) - w
        return min(math.hypot(px - ex, py - ey) - w for (ex, ey), w in ends)
    return f


def sd_spiral(cx, cy, r0, r1, turns, w0, w1, start=0.0, clockwise=True):
    """An Archimedean spiral stroke from radius r0 (angle start) out to r1
    after `turns` turns, its half width growing from w0 to w1, round ends.
    It winds outwards clockwise on screen (y points down), or against.
    w0 may instead be a function of t (0 inner end .. 1 outer end) giving the
    half width; then the ends are not capped."""
    sign = 1.0 if clockwise else -1.0
    width = w0 if callable(w0) else (lambda t: w0 + (w1 - w0) * t)
    capped = not callable(w0)
    total = turns * 2 * math.pi
    b = (r1 - r0) / total

    def point(theta):
        r = r0 + b * theta
        return (cx + r * math.cos(start + sign * theta),
                cy + r * math.sin(start + sign * theta))

    ends = [(point(0.0), width(0.0)), (point(total), width(1.0))] if capped else []

    def f(px, py):
        dx, dy = px - cx, py - cy
        rho = math.hypot(dx, dy)
        phi = (sign * (math.atan2(dy, dx) - start)) % (2 * math.pi)
        best = 1e18
        theta = phi
        while theta <= total:
            t = theta / total
            d = abs(rho - (r0 + b * theta)) - width(t)
            if d < best:
                best = d
            theta += 2 * math.pi
        for (ex, ey), w in ends:
            d = math.hypot(px - ex, py - ey) - w
            if d < best:
                best = d
        return best
    return f


def sd_union(*fs):
    def f(px, py):
        return min(g(px, py) for g in fs)
    return f


def sd_subtract(a, b):
    def f(px, py):
        return max(a(px, py), -b(px, py))
    return f


def sd_intersect(*fs):
    def f(px, py):
        return max(g(px, py) for g in fs)
    return f


def sd_rotated(fn, cx, cy, angle):
    """The shape fn turned by angle (radians) around (cx, cy)."""
    c, s = math.cos(-angle), math.sin(-angle)

    def f(px, py):
        dx, dy = px - cx, py - cy
        return fn(cx + dx * c - dy * s, cy + dx * s + dy * c)
    return f


# ---------------------------------------------------------------------------
# Colour functions


def linear_gradient(x0, y0, x1, y1, stops):
    """stops: list of (t, rgb). The gradient runs from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9

    def f(px, py):
        t = clamp(((px - x0) * dx + (py - y0) * dy) / ll)
        return sample_stops(stops, t)
    return f


def radial_gradient(cx, cy, radius, stops):
    def f(px, py):
        return sample_stops(stops, clamp(math.hypot(px - cx, py - cy) / radius))
    return f


def sample_stops(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / ((t1 - t0) or 1e-9))
    return stops[-1][1]


# ---------------------------------------------------------------------------
# Text, rasterised by ImageMagick


class Mask:
    """A grey coverage mask, values 0..1, with its ink bounding box."""

    def __init__(self, width, height, values):
        self.width, self.height, self.values = width, height, values
        xs, ys = [], []
        for y in range(height):
            row = values[y * width:(y + 1) * width]
            if any(v > 0.02 for v in row):
                ys.append(y)
                for x, v in enumerate(row):
                    if v > 0.02:
                        xs.append(x)
        if xs:
            self.ink = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)
        else:
            self.ink = (0, 0, 0, 0)

    def at(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.values[y * self.width + x]
        return 0.0

    def bilinear(self, x, y):
        x0, y0 = math.floor(x), math.floor(y)
        fx, fy = x - x0, y - y0
        a = self.at(x0, y0) * (1 - fx) + self.at(x0 + 1, y0) * fx
        b = self.at(x0, y0 + 1) * (1 - fx) + self.at(x0 + 1, y0 + 1) * fx
        return a * (1 - fy) + b * fy


_mask_cache = {}


def text_mask(text, font, size, kerning=0.0):
    """Renders text in white on black at `size` pixels (72 dpi points)."""
    key = (text, font, size, kerning)
    if key in _mask_cache:
        return _mask_cache[key]
    cmd = ['convert', '-density', '72', '-background', 'black', '-fill', 'white',
           '-font', font, '-pointsize', str(size), '-kerning', str(kerning),
           'label:' + text, '-bordercolor', 'black', '-border', '6',
           '-colorspace', 'gray', '-depth', '8', 'pgm:-']
    data = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    mask = _parse_pgm(data)
    _mask_cache[key] = mask
    return mask


def _parse_pgm(data):
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            while data[pos:pos + 1] not in (b'\n', b''):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    if fields[0] != b'P5':
        raise ValueError('expected a binary PGM')
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    if maxval > 255:
        raw = data[pos:pos + 2 * w * h]
        values = [((raw[2 * i] << 8) | raw[2 * i + 1]) / maxval for i in range(w * h)]
    else:
        raw = data[pos:pos + w * h]
        values = [b / maxval for b in raw]
    return Mask(w, h, values)


# ---------------------------------------------------------------------------
# The canvas


class Canvas:
    """RGB(A) floating point canvas; colours 0..255, alpha 0..1 (straight)."""

    def __init__(self, width, height, colour=(0, 0, 0), alpha=1.0):
        self.width, self.height = width, height
        n = width * height
        self.r = [float(colour[0])] * n
        self.g = [float(colour[1])] * n
        self.b = [float(colour[2])] * n
        self.a = [float(alpha)] * n

    # -- single pixels ------------------------------------------------------

    def blend(self, x, y, colour, alpha):
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        i = y * self.width + x
        da = self.a[i]
        if da >= 1.0:
            k = 1.0 - alpha
            self.r[i] = colour[0] * alpha + self.r[i] * k
            self.g[i] = colour[1] * alpha + self.g[i] * k
            self.b[i] = colour[2] * alpha + self.b[i] * k
            return
        oa = alpha + da * (1.0 - alpha)
        if oa <= 0:
            return
        k = da * (1.0 - alpha)
        self.r[i] = (colour[0] * alpha + self.r[i] * k) / oa
        self.g[i] = (colour[1] * alpha + self.g[i] * k) / oa
        self.b[i] = (colour[2] * alpha + self.b[i] * k) / oa
        self.a[i] = oa

    def set(self, x, y, colour, alpha=1.0):
        i = y * self.width + x
        self.r[i], self.g[i], self.b[i] = (float(c) for c in colour)
        self.a[i] = alpha

    def get(self, x, y):
        i = y * self.width + x
        return (self.r[i], self.g[i], self.b[i])

    # -- shapes -------------------------------------------------------------

    def fill(self, sdf, colour, bbox=None, opacity=1.0, feather=1.0):
        """Fills the shape sdf with a colour or a colour function of (x, y).
        feather widens the anti-aliased edge (soft shapes, glows)."""
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        fn = colour if callable(colour) else None
        for y in range(y0, y1):
            py = y + 0.5
            for x in range(x0, x1):
                d = sdf(x + 0.5, py)
                if feather == 1.0:
                    cov = 0.5 - d
                else:
                    cov = 0.5 - d / feather
                if cov <= 0:
                    continue
                if cov > 1:
                    cov = 1.0
                self.blend(x, y, fn(x + 0.5, py) if fn else colour, cov * opacity)

    def shade(self, fn, bbox=None):
        """Blends fn(x, y) -> (rgb, alpha) or None over every pixel of bbox."""
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                res = fn(x + 0.5, y + 0.5)
                if res:
                    self.blend(x, y, res[0], res[1])

    def shadow(self, sdf, colour, blur, bbox, opacity=0.5, dx=0.0, dy=0.0):
        """A soft shadow of the shape: opacity falls off over `blur` pixels."""
        x0, y0, x1, y1 = bbox
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                d = sdf(x + 0.5 - dx, y + 0.5 - dy)
                if d >= blur:
                    continue
                t = 1.0 - smoothstep(-blur * 0.25, blur, d)
                self.blend(x, y, colour, t * opacity)

    # -- text ---------------------------------------------------------------

    def text(self, mask, x, y, colour, opacity=1.0, anchor='ink-tl'):
        """Draws a text mask. (x, y) is the top-left of its ink box, or with
        anchor 'ink-c' its centre, 'ink-l' the left middle, 'ink-r' the right
        middle, 'ink-bl' the bottom left of the ink box."""
        ix0, iy0, ix1, iy1 = mask.ink
        iw, ih = ix1 - ix0, iy1 - iy0
        if anchor == 'ink-c':
            ox, oy = x - iw / 2.0, y - ih / 2.0
        elif anchor == 'ink-l':
            ox, oy = x, y - ih / 2.0
        elif anchor == 'ink-r':
            ox, oy = x - iw, y - ih / 2.0
        elif anchor == 'ink-bl':
            ox, oy = x, y - ih
        else:
            ox, oy = x, y
        ox, oy = int(round(ox)) - ix0, int(round(oy)) - iy0
        fn = colour if callable(colour) else None
        for my in range(iy0, iy1):
            for mx in range(ix0, ix1):
                v = mask.values[my * mask.width + mx]
                if v <= 0:
                    continue
                px, py = ox + mx, oy + my
                self.blend(px, py, fn(px + 0.5, py + 0.5) if fn else colour, v * opacity)

    def text_transformed(self, mask, cx, cy, angle, scale, colour, opacity=1.0):
        """Draws the mask's ink centred at (cx, cy), turned by angle and
        scaled by scale (bilinear sampling)."""
        ix0, iy0, ix1, iy1 = mask.ink
        mcx, mcy = (ix0 + ix1) / 2.0, (iy0 + iy1) / 2.0
        rad = math.hypot(ix1 - ix0, iy1 - iy0) * scale / 2.0 + 2
        c, s = math.cos(angle), math.sin(angle)
        for y in range(max(0, int(cy - rad)), min(self.height, int(cy + rad) + 1)):
            for x in range(max(0, int(cx - rad)), min(self.width, int(cx + rad) + 1)):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                # inverse transform into mask space
                ux = (dx * c + dy * s) / scale + mcx - 0.5
                uy = (-dx * s + dy * c) / scale + mcy - 0.5
                v = mask.bilinear(ux, uy)
                if v > 0:
                    self.blend(x, y, colour, v * opacity)

    # -- output -------------------------------------------------------------

    def rgb_bytes(self, x, y):
        i = y * self.width + x
        return (int(round(clamp(self.r[i], 0, 255))),
                int(round(clamp(self.g[i], 0, 255))),
                int(round(clamp(self.b[i], 0, 255))))

    def alpha_byte(self, x, y):
        return int(round(clamp(self.a[y * self.width + x]) * 255))


def pixels_of(canvas):
    """Rows of (r, g, b) byte tuples, top row first."""
    return [[canvas.rgb_bytes(x, y) for x in range(canvas.width)]
            for y in range(canvas.height)]


def write_bmp(path, rows):
    """A 24-bit bottom-up BMP with a BITMAPINFOHEADER."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        body += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


def read_bmp(path):
    """Reads back a 24-bit BMP written by write_bmp: rows of (r, g, b)."""
    with open(path, 'rb') as f:
        data = f.read()
    off = struct.unpack_from('<I', data, 10)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    bpp = struct.unpack_from('<H', data, 28)[0]
    if bpp != 24:
        raise ValueError('only 24-bit pictures')
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y
        base = off + src * stride
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x])
                     for x in range(width)])
    return rows


def write_ico(path, canvases):
    """An ICO file with one 32-bit image (alpha plus AND mask) per canvas."""
    images = []
    for c in canvases:
        w, h = c.width, c.height
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b = c.rgb_bytes(x, y)
                a = c.alpha_byte(x, y)
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if c.alpha_byte(x, y) < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            andm += row
        info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(andm),
                           0, 0, 0, 0)
        images.append((w, h, info + xor + andm))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)
