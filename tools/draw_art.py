#!/usr/bin/env python3
# tools/draw_art.py - draws every picture of Keywhirl: the keyboard picture
# (data/Keyboard/Keywhirl.bmp), the icon, the menu and button pictures, the
# splash, the about picture and the settings banner (resources/) and the
# setup program's side picture (installer/).
#
#   python3 tools/draw_art.py [name ...]    (no name: everything)
#
# Names: keyboard icon menu buttons splash about banner installer. Needs ImageMagick's
# `convert` and the DejaVu fonts for the lettering; the outputs are checked in.

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art_canvas import (Canvas, clamp, linear_gradient, mix, pixels_of,  # noqa: E402
                        radial_gradient, sd_arc, sd_circle, sd_rotated, sd_round_rect,
                        sd_segment, sd_spiral, sd_subtract, sd_union, smoothstep, text_mask,
                        write_bmp, write_ico)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, 'resources')
KEYBOARD_BMP = os.path.join(ROOT, 'data', 'Keyboard', 'Keywhirl.bmp')

SANS = 'DejaVu-Sans'
SANS_BOLD = 'DejaVu-Sans-Bold'


# ===========================================================================
# The keyboard picture
#
# The program paints the characters of the 47 character keys into fixed
# cells; the key faces of the picture must sit exactly on them. Cells are
# 47 x 38 pixels (inclusive right = left + 46, bottom = top + 37), 50 pixels
# apart within a row.

CELL_W, CELL_H, CELL_PITCH = 47, 38, 50
KEY_ROWS = [
    # scan codes, left of index 0, top
    ([0x29] + list(range(0x02, 0x0E)), 14, 34),
    (list(range(0x10, 0x1C)), 82, 74),
    (list(range(0x1E, 0x29)), 97, 114),
    (list(range(0x2C, 0x36)), 121, 154),
]
BACKSLASH_CELL = (0x2B, 682, 74, 739, 111)  # scan code, left, top, right, bottom


def character_cells():
    """(scan code, left, top, right, bottom), edges inclusive."""
    cells = []
    for codes, left, top in KEY_ROWS:
        for i, code in enumerate(codes):
            x = left + CELL_PITCH * i
            cells.append((code, x, top, x + CELL_W - 1, top + CELL_H - 1))
    cells.append(BACKSLASH_CELL)
    return cells


# The other keys fill the rows out to the same right edge (x = 739), with the
# same gaps (3 pixels across, 2 pixels between rows). Edges inclusive. Their
# caps stay blank: the program writes the names of these keys in the
# interface language (src/keyboard/NamedKeys.cpp holds the same cells).
OTHER_KEYS = [
    (664, 34, 739, 71),    # Backspace
    (14, 74, 78, 111),     # Tab
    (14, 114, 93, 151),    # Caps Lock
    (647, 114, 739, 151),  # Enter
    (14, 154, 117, 191),   # left Shift
    (621, 154, 739, 191),  # right Shift
    (14, 194, 69, 231),    # left Ctrl
    (73, 194, 128, 231),   # left Win
    (132, 194, 187, 231),  # Alt
    (191, 194, 503, 231),  # space bar
    (507, 194, 562, 231),  # AltGr
    (566, 194, 621, 231),  # right Win
    (625, 194, 680, 231),  # Menu
    (684, 194, 739, 231),  # right Ctrl
]

KB_WIDTH, KB_HEIGHT = 754, 246
KEY_COLOUR = (255, 0, 255)  # outside the keyboard; never used inside it
# The program's hide button (11 x 11) sits at (width - 33, 15).
HIDE_BUTTON = (KB_WIDTH - 33, 15)

CASE_TOP = (70, 77, 90)
CASE_BOTTOM = (40, 44, 54)
CASE_EDGE = (18, 20, 26)
WELL = (27, 30, 37)
SKIRT_TOP = (202, 207, 216)
SKIRT_BOTTOM = (146, 153, 166)
FACE_TOP = (253, 253, 254)
FACE_BOTTOM = (231, 234, 240)
# the keys without characters are a shade darker, so the labelled ones stand out
MOD_FACE_TOP = (236, 239, 244)
MOD_FACE_BOTTOM = (211, 216, 225)


def draw_key(c, x0, y0, x1, y1, face_top=FACE_TOP, face_bottom=FACE_BOTTOM):
    """One key cap over the pixels x0..x1, y0..y1 (inclusive)."""
    right, bottom = x1 + 1, y1 + 1
    skirt = sd_round_rect(x0, y0, right, bottom, 5.5)
    c.fill(skirt, linear_gradient(0, y0, 0, bottom, [(0, SKIRT_TOP), (1, SKIRT_BOTTOM)]),
           (x0, y0, right, bottom))
    # a darker line where the cap meets the case, so neighbouring caps part
    ring = sd_subtract(skirt, sd_round_rect(x0 + 1, y0 + 1, right - 1, bottom - 1, 4.5))
    c.fill(ring, (96, 102, 116), (x0, y0, right, bottom), opacity=0.55)
    face = sd_round_rect(x0 + 3, y0 + 2, right - 3, bottom - 5, 4.5)
    stops = [(0, face_top), (0.55, mix(face_top, face_bottom, 0.45)), (1, face_bottom)]
    c.fill(face, linear_gradient(0, y0 + 2, 0, bottom - 5, stops), (x0, y0, right, bottom))
    # the face's rim catches the light along its top edge
    rim = sd_subtract(face, sd_round_rect(x0 + 3, y0 + 3, right - 3, bottom - 5, 4.5))
    c.fill(rim, (255, 255, 255), (x0, y0, right, y0 + 6), opacity=0.8)


def paste(c, image, left, top):
    """Blends a picture with alpha onto the canvas."""
    for y in range(image.height):
        for x in range(image.width):
            a = image.a[y * image.width + x]
            if a > 0:
                c.blend(x + left, y + top, image.get(x, y), a)


def draw_keyboard():
    c = Canvas(KB_WIDTH, KB_HEIGHT, CASE_EDGE)
    body = sd_round_rect(2, 2, KB_WIDTH - 2, KB_HEIGHT - 2, 13)
    c.fill(sd_round_rect(3, 3, KB_WIDTH - 3, KB_HEIGHT - 3, 12),
           linear_gradient(0, 3, 0, KB_HEIGHT - 3,
                           [(0, CASE_TOP), (0.18, (58, 64, 76)), (1, CASE_BOTTOM)]))
    # a bevel: light along the top edge of the case
    top_bevel = sd_subtract(sd_round_rect(3, 3, KB_WIDTH - 3, KB_HEIGHT - 3, 12),
                            sd_round_rect(3, 4.5, KB_WIDTH - 3, KB_HEIGHT - 3, 12))
    c.fill(top_bevel, (150, 160, 178), (0, 0, KB_WIDTH, 12), opacity=0.7)
    # the recessed well the keys sit in
    well = sd_round_rect(9, 29, KB_WIDTH - 9, KB_HEIGHT - 9, 8)
    c.fill(well, WELL)
    well_lip = sd_subtract(sd_round_rect(9, 29, KB_WIDTH - 9, KB_HEIGHT - 8, 8),
                           sd_round_rect(9, 29, KB_WIDTH - 9, KB_HEIGHT - 9, 8))
    c.fill(well_lip, (92, 100, 116), opacity=0.8)
    shade = sd_subtract(well, sd_round_rect(9, 31, KB_WIDTH - 9, KB_HEIGHT - 9, 8))
    c.fill(shade, (8, 9, 12), (0, 25, KB_WIDTH, 40), opacity=0.8)

    # the name on the top edge, with the whirl
    paste(c, draw_icon_image(16), 14, 8)
    name = text_mask('Keywhirl', SANS_BOLD, 13)
    c.text(name, 37, 16.5, (214, 222, 236), anchor='ink-l')
    # no English tag line beside the name: the picture carries no words
    # but the program's name

    # a recess for the hide button
    bx, by = HIDE_BUTTON
    c.fill(sd_round_rect(bx - 2, by - 2, bx + 13, by + 13, 3.5), (22, 24, 30))
    c.fill(sd_subtract(sd_round_rect(bx - 2, by - 2, bx + 13, by + 14, 3.5),
                       sd_round_rect(bx - 2, by - 2, bx + 13, by + 13, 3.5)),
           (110, 118, 134), opacity=0.8)

    for code, x0, y0, x1, y1 in character_cells():
        draw_key(c, x0, y0, x1, y1)
    for x0, y0, x1, y1 in OTHER_KEYS:
        draw_key(c, x0, y0, x1, y1, MOD_FACE_TOP, MOD_FACE_BOTTOM)

    rows = pixels_of(c)
    # Outside the case is the key colour, cut hard: a blended edge pixel
    # would stay in the window region as a coloured fringe.
    for y in range(KB_HEIGHT):
        for x in range(KB_WIDTH):
            if body(x + 0.5, y + 0.5) > 0:
                rows[y][x] = KEY_COLOUR
            elif rows[y][x] == KEY_COLOUR:
                rows[y][x] = (254, 0, 255)
    check_keyboard(rows)
    write_bmp(KEYBOARD_BMP, rows)


def check_keyboard(rows):
    assert rows[0][0] == KEY_COLOUR
    for code, x0, y0, x1, y1 in character_cells():
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                assert rows[y][x] != KEY_COLOUR, (code, x, y)
    bx, by = HIDE_BUTTON
    for y in range(by, by + 11):
        for x in range(bx, bx + 11):
            assert rows[y][x] != KEY_COLOUR


# ===========================================================================
# The icon: a key cap with the blue whirl on its face

ICON_BLUE_LIGHT = (64, 156, 255)
ICON_BLUE_DARK = (16, 84, 204)


def draw_icon_image(size):
    """The key cap with a bold K; from 32 pixels up the whirl sweeps round it."""
    c = Canvas(size, size, (0, 0, 0), alpha=0.0)
    s = size / 48.0
    # per size: skirt box, face box, their corner radii, whirl radius, stroke
    if size >= 48:
        skirt, face, rs, rf, wr, ww = (2, 3, 46, 46), (6, 5, 42, 38), 9, 7, 9.5, 4.6
    elif size >= 32:
        skirt, face, rs, rf, wr, ww = (1, 2, 31, 31), (4, 3.2, 28, 25.5), 6, 5, 6.4, 3.3
    else:
        skirt, face, rs, rf, wr, ww = (0, 0.5, 16, 16), (1.6, 1.3, 14.4, 12.6), 3.2, 2.5, 3.35, 1.75
    sx0, sy0, sx1, sy1 = skirt
    fx0, fy0, fx1, fy1 = face
    if size >= 32:
        c.shadow(sd_round_rect(sx0 + 1, sy0 + 2, sx1 - 1, sy1, rs), (0, 0, 0), 2.5 * s,
                 (0, 0, size, size), opacity=0.45, dy=0.5)
    c.fill(sd_round_rect(sx0, sy0, sx1, sy1, rs), (44, 50, 64))
    c.fill(sd_round_rect(sx0 + 1, sy0 + 1, sx1 - 1, sy1 - 1, rs - 1),
           linear_gradient(0, sy0, 0, sy1, [(0, (214, 219, 228)), (1, (132, 141, 158))]))
    c.fill(sd_round_rect(fx0, fy0, fx1, fy1, rf),
           linear_gradient(0, fy0, 0, fy1, [(0, (255, 255, 255)), (1, (224, 229, 238))]))
    cx, cy = (fx0 + fx1) / 2.0, (fy0 + fy1) / 2.0 + (0.3 if size < 32 else 0.6)
    grad = linear_gradient(cx - wr, cy - wr, cx + wr, cy + wr,
                           [(0, ICON_BLUE_LIGHT), (1, ICON_BLUE_DARK)])
    if size >= 32:
        ring = sd_arc(cx, cy, wr * 1.45, ww * 0.1, math.radians(200), math.radians(200 + 300),
                      ww * 0.32)
        c.fill(ring, (120, 180, 250), (0, 0, size, size))
    k = text_mask('K', SANS_BOLD, {16: 11, 32: 15, 48: 22}[size])
    c.text(k, cx + 0.3, cy, grad, anchor='ink-c')
    return c


def draw_icon():
    images = [draw_icon_image(n) for n in (16, 32, 48)]
    write_ico(os.path.join(RES, 'keywhirl.ico'), images)


# ===========================================================================
# Menu item pictures, 13 x 13, 24 bits. The program maps four exact colours
# to system colours when it loads them: light grey 0xC0C0C0 becomes the menu
# colour, so that is the ground; the edges of the glyphs are blended towards
# a light menu colour instead, and no glyph pixel uses one of the four.

MENU_GROUND = (192, 192, 192)
MENU_ASSUMED = (240, 240, 240)
MAPPED_COLOURS = {(0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)}


def menu_rows(c):
    rows = []
    for y in range(c.height):
        row = []
        for x in range(c.width):
            a = c.a[y * c.width + x]
            if a <= 0.004:
                row.append(MENU_GROUND)
                continue
            rgb = mix(MENU_ASSUMED, c.get(x, y), a)
            px = tuple(int(round(clamp(v, 0, 255))) for v in rgb)
            if px in MAPPED_COLOURS:
                px = (px[0] + (1 if px[0] < 255 else -1),) + px[1:]
            row.append(px)
        rows.append(row)
    return rows


def menu_check():
    c = Canvas(13, 13, alpha=0.0)
    stroke = sd_union(sd_segment(2.6, 6.9, 5.3, 9.7, 1.15), sd_segment(5.3, 9.7, 10.6, 3.1, 1.15))
    c.fill(stroke, linear_gradient(0, 2, 0, 11, [(0, (52, 176, 84)), (1, (20, 120, 46))]))
    return c


def menu_settings():
    c = Canvas(13, 13, alpha=0.0)
    cx = cy = 6.5

    def gear(px, py):
        dx, dy = px - cx, py - cy
        rho = math.hypot(dx, dy)
        phi = math.atan2(dy, dx) + math.pi / 8
        # eight teeth: a flattened wave between the body and the tips
        wave = clamp(math.cos(8 * phi) * 2.2 + 0.4, -1, 1)
        radius = 4.55 + 1.25 * (wave + 1) / 2
        return max(rho - radius, 1.75 - rho)
    c.fill(gear, linear_gradient(2, 1, 11, 12, [(0, (120, 136, 160)), (1, (58, 70, 92))]))
    return c


def menu_help():
    c = Canvas(13, 13, alpha=0.0)
    c.fill(sd_circle(6.5, 6.5, 6.1),
           linear_gradient(0, 0, 0, 13, [(0, (78, 158, 246)), (1, (22, 86, 200))]))
    q = text_mask('?', SANS_BOLD, 10)
    c.text(q, 6.6, 6.6, (254, 254, 254), anchor='ink-c')
    return c


def menu_about():
    c = Canvas(13, 13, alpha=0.0)
    c.fill(sd_round_rect(0.5, 0.5, 12.5, 12.5, 2.6), (56, 64, 82))
    c.fill(sd_round_rect(1.5, 1.5, 11.5, 11.5, 1.8),
           linear_gradient(0, 1, 0, 12, [(0, (206, 212, 222)), (1, (150, 158, 174))]))
    c.fill(sd_round_rect(2.3, 1.7, 10.7, 9.9, 1.5),
           linear_gradient(0, 2, 0, 10, [(0, (254, 254, 254)), (1, (226, 231, 240))]))
    k = text_mask('K', SANS_BOLD, 8)
    c.text(k, 6.5, 5.9, (22, 96, 214), anchor='ink-c')
    return c


def menu_exit():
    c = Canvas(13, 13, alpha=0.0)
    ring = sd_arc(6.5, 7.0, 4.3, 1.0, math.radians(-90 + 42), math.radians(270 - 42))
    bar = sd_segment(6.5, 1.6, 6.5, 6.6, 1.0)
    c.fill(sd_union(ring, bar),
           linear_gradient(0, 1, 0, 12, [(0, (226, 62, 52)), (1, (164, 24, 20))]))
    return c


def draw_menu():
    for name, fn in (('menu_check', menu_check), ('menu_settings', menu_settings),
                     ('menu_help', menu_help), ('menu_about', menu_about),
                     ('menu_exit', menu_exit)):
        write_bmp(os.path.join(RES, name + '.bmp'), menu_rows(fn()))


# ===========================================================================
# Button pictures, 11 x 11, 24 bits: the hide button (a small dark red cross
# on light blue) and the close button (a bar along the bottom edge), each
# normal, pressed and with the mouse over it.

BUTTON_STATES = {
    # ground top, ground bottom, border, glyph, glyph offset
    'normal': ((190, 234, 252), (150, 214, 246), (78, 140, 186), (150, 22, 22), 0.0),
    'pressed': ((128, 192, 232), (150, 208, 240), (52, 104, 150), (120, 14, 14), 1.0),
    'over': ((222, 246, 255), (176, 228, 252), (96, 160, 206), (204, 34, 30), 0.0),
}


def draw_button(state, glyph):
    top, bottom, border, ink, off = BUTTON_STATES[state]
    c = Canvas(11, 11, border)
    c.fill(sd_round_rect(1, 1, 10, 10, 0.8),
           linear_gradient(0, 1, 0, 10, [(0, top), (1, bottom)]))
    if glyph == 'cross':
        shape = sd_union(sd_segment(3.5 + off, 3.5 + off, 7.5 + off, 7.5 + off, 0.9),
                         sd_segment(7.5 + off, 3.5 + off, 3.5 + off, 7.5 + off, 0.9))
    else:
        shape = sd_round_rect(3 + off, 7 + off, 8 + off, 9 + off, 0.4)
    c.fill(shape, ink)
    # soften the four corners into the border
    for x, y in ((0, 0), (10, 0), (0, 10), (10, 10)):
        c.blend(x, y, mix(border, top if y == 0 else bottom, 0.5), 0.6)
    return c


def draw_buttons():
    for glyph in ('cross', 'bar'):
        for state in ('normal', 'pressed', 'over'):
            write_bmp(os.path.join(RES, 'button_%s_%s.bmp' % (glyph, state)),
                      pixels_of(draw_button(state, glyph)))


# ===========================================================================
# The whirl of keys: key caps spiralling out from a glowing centre, the
# outer ones spelling the program's name. Used by the splash and the about
# picture.

NIGHT_STOPS = [(0.0, (46, 88, 176)), (0.45, (22, 42, 100)), (1.0, (8, 14, 38))]
WHIRL_LETTERS = 'KEYWHIRL' + 'QASDFGTUOPZXCVBNMJ'


WHIRL_START = math.radians(205)  # the outermost key sits left of the top
WHIRL_TURNS = 1.7
WHIRL_R0, WHIRL_R1 = 36.0, 238.0


def whirl_keys(cx, cy, scale, count=26):
    """Key positions from the outside in: (x, y, size, rotation, depth).
    The keys ride an Archimedean spiral that winds inwards clockwise."""
    keys = []
    for k in range(count):
        t = 1.0 - k / (count - 1.0)  # 1 = outermost
        phi = WHIRL_START + (1.0 - t) * WHIRL_TURNS * 2 * math.pi
        r = (WHIRL_R0 + (WHIRL_R1 - WHIRL_R0) * t) * scale
        size = (15 + 47 * t ** 1.2) * scale
        x, y = cx + r * math.cos(phi), cy + r * math.sin(phi)
        keys.append((x, y, size, phi + math.pi / 2, t))
    return keys


def whirl_trail(cx, cy, scale):
    """The spiral the keys travel along, running on a little past both ends."""
    per_turn = (WHIRL_R1 - WHIRL_R0) / WHIRL_TURNS
    inner_extra, outer_extra = 0.12, 0.3
    r0 = WHIRL_R0 - per_turn * inner_extra
    r1 = WHIRL_R1 + per_turn * outer_extra
    turns = WHIRL_TURNS + inner_extra + outer_extra
    start = WHIRL_START + (WHIRL_TURNS + inner_extra) * 2 * math.pi
    def width(t):
        # thin at the centre, full along the keys, fading out past the last
        grow = 0.35 + 0.65 * t
        fade = smoothstep(1.0, 0.8, t)
        return (1.9 * grow * fade - 0.25) * scale
    return sd_spiral(cx, cy, r0 * scale, r1 * scale, turns, width, None, start,
                     clockwise=False)


def draw_whirl(c, cx, cy, scale, ground):
    # the glowing path, widest and faintest first
    trail = whirl_trail(cx, cy, scale)
    reach = 300 * scale
    box = (cx - reach, cy - reach, cx + reach, cy + reach)
    c.fill(trail, (90, 150, 255), box, opacity=0.10, feather=14 * scale)
    c.fill(trail, (120, 180, 255), box, opacity=0.22, feather=4 * scale)
    c.fill(trail, (170, 210, 255), box, opacity=0.55)
    # a light at the centre
    c.shade(lambda px, py: ((190, 220, 255),
                            0.85 * (1 - smoothstep(0, 46 * scale, math.hypot(px - cx, py - cy)))),
            (cx - 50 * scale, cy - 50 * scale, cx + 50 * scale, cy + 50 * scale))

    keys = whirl_keys(cx, cy, scale)
    for idx, (x, y, size, rot, depth) in reversed(list(enumerate(keys))):
        letter = WHIRL_LETTERS[idx % len(WHIRL_LETTERS)]
        draw_whirl_key(c, x, y, size, rot, depth, letter, ground)


def draw_whirl_key(c, x, y, size, rot, depth, letter, ground):
    h = size / 2.0
    fog = 0.62 * (1 - depth) ** 1.3  # inner keys sink into the night

    def local(fn):
        # a colour function given in the key's own frame (y down the key)
        cs, sn = math.cos(-rot), math.sin(-rot)

        def g(px, py):
            dx, dy = px - x, py - y
            return fn(dx * cs - dy * sn, dx * sn + dy * cs)
        return g

    def fogged(rgb, px, py):
        return mix(rgb, ground(px, py), fog)

    outer = sd_rotated(sd_round_rect(x - h, y - h, x + h, y + h, size * 0.17), x, y, rot)
    face = sd_rotated(sd_round_rect(x - h + size * 0.08, y - h + size * 0.05,
                                    x + h - size * 0.08, y + h - size * 0.16, size * 0.13),
                      x, y, rot)
    box = (x - size, y - size, x + size, y + size * 1.1)
    c.shadow(outer, (0, 0, 10), size * 0.22, box, opacity=0.55 * (1 - fog), dy=size * 0.08)
    # both shade darker towards the key's lower edge, in its own frame
    skirt_colour = local(
        lambda lx, ly: mix((210, 216, 228), (122, 132, 152), clamp(ly / size + 0.5)))
    face_colour = local(
        lambda lx, ly: mix((255, 255, 255), (222, 228, 238), clamp(ly / size + 0.5)))
    c.fill(outer, lambda px, py: fogged(skirt_colour(px, py), px, py), box)
    c.fill(face, lambda px, py: fogged(face_colour(px, py), px, py), box)
    glyph = text_mask(letter, SANS_BOLD, 64)
    ink_h = glyph.ink[3] - glyph.ink[1]
    # Letters read right side up wherever the key rides: each stands on the
    # edge of its (square) key that lies nearest to the bottom, so it leans
    # at most 45 degrees and is never upside down.
    letter_rot = rot - math.pi / 2 * round(rot / (math.pi / 2))
    # the letter sits on the middle of the face, a little off the key's
    # middle towards its top edge
    ox, oy = -math.sin(rot) * size * -0.055, math.cos(rot) * size * -0.055
    ink = mix((34, 46, 72), ground(x, y), fog)
    if letter in 'KEYWHIRL' and depth > 0.7:
        ink = mix((18, 88, 206), ground(x, y), fog)
    c.text_transformed(glyph, x + ox, y + oy, letter_rot, size * 0.44 / ink_h, ink)


def night(cx, cy, radius):
    return radial_gradient(cx, cy, radius, NIGHT_STOPS)


def draw_splash():
    w, h = 650, 635
    ground = night(325, 250, 560)
    c = Canvas(w, h)
    c.shade(lambda px, py: (ground(px, py), 1.0))
    draw_whirl(c, 325, 250, 1.0, ground)

    title = text_mask('Keywhirl', SANS_BOLD, 84, kerning=-1)
    # a soft glow behind the name
    glow = sd_round_rect(150, 500, 500, 562, 30)
    c.fill(glow, (70, 130, 255), (100, 460, 550, 600), opacity=0.22, feather=30)
    c.text(title, 327, 534, (0, 0, 18), opacity=0.6, anchor='ink-c')
    c.text(title, 325, 531, linear_gradient(0, 500, 0, 562,
                                             [(0, (255, 255, 255)), (1, (178, 212, 255))]),
           anchor='ink-c')
    # The subtitle (in the interface language) and the version (of the
    # build) are written over the picture by the program: the band below the
    # name and the bottom left corner stay plain night.
    team = text_mask('\u00a9 The Keywhirl team', SANS, 12)
    c.text(team, w - 14 - (team.ink[2] - team.ink[0]), h - 14, (110, 130, 172), anchor='ink-bl')
    frame(c, (64, 96, 156))
    write_bmp(os.path.join(RES, 'splash.bmp'), pixels_of(c))


def draw_about():
    w, h = 450, 435
    split = 298  # the night above, the credits below on a light ground
    ground = night(225, 118, 420)
    c = Canvas(w, h)
    c.shade(lambda px, py: (ground(px, py), 1.0), (0, 0, w, split))
    draw_whirl(c, 225, 124, 0.44, ground)
    title = text_mask('Keywhirl', SANS_BOLD, 46, kerning=-0.5)
    c.text(title, 226, 267, (0, 0, 18), opacity=0.6, anchor='ink-c')
    c.text(title, 225, 265, linear_gradient(0, 248, 0, 282,
                                             [(0, (255, 255, 255)), (1, (178, 212, 255))]),
           anchor='ink-c')
    # redraw the ground below the split: the whirl's glow must not spill over
    light = linear_gradient(0, split, 0, h, [(0, (252, 253, 255)), (1, (226, 234, 247))])
    c.shade(lambda px, py: (light(px, py), 1.0), (0, split, w, h))
    accent = linear_gradient(0, 0, w, 0, [(0, (30, 90, 200)), (0.5, (110, 180, 255)),
                                          (1, (30, 90, 200))])
    c.shade(lambda px, py: (accent(px, py), 1.0), (0, split, w, split + 2))
    # the labels end left of the middle and the values start right of it
    for y in range(306, 384):
        c.blend(w // 2, y, (176, 192, 218), 0.9 * smoothstep(306, 316, y) * smoothstep(384, 374, y))
    team = text_mask('\u00a9 The Keywhirl team', SANS, 11)
    c.text(team, w / 2.0, 414, (128, 140, 162), anchor='ink-c')
    write_bmp(os.path.join(RES, 'about.bmp'), pixels_of(c))


def draw_banner():
    w, h = BANNER_SIZE
    c = Canvas(w, h)
    ground = linear_gradient(0, 0, w, h, [(0, (12, 24, 62)), (0.6, (26, 54, 124)),
                                          (1, (44, 90, 178))])
    c.shade(lambda px, py: (ground(px, py), 1.0))
    # the whirl's path sweeping through the right-hand side, with three keys
    # riding it out of the picture
    cx, cy = 300, 330
    trail = sd_arc(cx, cy, 310, 0.4, math.radians(-90 - 30), math.radians(-90 + 15), 1.5)
    c.fill(trail, (120, 180, 255), (0, 0, w, h), opacity=0.25, feather=3)
    c.fill(trail, (170, 210, 255), (0, 0, w, h), opacity=0.6)
    for x, size, letter in ((236, 15, 'A'), (281, 20, 'S'), (329, 25, 'D')):
        y = min(range(h), key=lambda yy: abs(trail(x + 0.5, yy + 0.5))) + 0.5
        draw_whirl_key(c, x, y, size, math.atan2(y - cy, x - cx) + math.pi / 2, 0.8, letter,
                       ground)
    paste(c, draw_icon_image(32), 9, 6)
    name = text_mask('Keywhirl', SANS_BOLD, 21)
    c.text(name, 50, 22, (0, 0, 18), opacity=0.5, anchor='ink-l')
    c.text(name, 49, 21, (250, 252, 255), anchor='ink-l')
    # a little shade along the bottom, where the dialog's controls begin
    c.shade(lambda px, py: ((0, 0, 0), 0.25 * smoothstep(h - 6, h, py)), (0, h - 6, w, h))
    write_bmp(os.path.join(RES, 'banner.bmp'), pixels_of(c))


# The settings dialog takes the banner's width as its client width: wide enough
# for its controls (201 dialog units) at a dialog base unit of 7 pixels.
BANNER_SIZE = (352, 44)


# The side picture of the setup program's welcome and finish pages, at the
# size those pages give it.
INSTALLER_SIZE = (164, 314)
INSTALLER_BMP = os.path.join(ROOT, 'installer', 'welcome.bmp')


def draw_installer():
    w, h = INSTALLER_SIZE
    ground = night(82, 120, 300)
    c = Canvas(w, h)
    c.shade(lambda px, py: (ground(px, py), 1.0))
    draw_whirl(c, 82, 118, 0.3, ground)
    title = text_mask('Keywhirl', SANS_BOLD, 26, kerning=-0.3)
    glow = sd_round_rect(22, 232, 142, 262, 14)
    c.fill(glow, (70, 130, 255), (0, 215, w, 280), opacity=0.2, feather=14)
    c.text(title, 83, 248, (0, 0, 18), opacity=0.6, anchor='ink-c')
    c.text(title, 82, 247, linear_gradient(0, 236, 0, 258,
                                            [(0, (255, 255, 255)), (1, (178, 212, 255))]),
           anchor='ink-c')
    write_bmp(INSTALLER_BMP, pixels_of(c))


def frame(c, colour):
    for x in range(c.width):
        c.set(x, 0, colour)
        c.set(x, c.height - 1, colour)
    for y in range(c.height):
        c.set(0, y, colour)
        c.set(c.width - 1, y, colour)


# ===========================================================================

def main(argv):
    jobs = {
        'keyboard': draw_keyboard,
        'icon': draw_icon,
        'menu': draw_menu,
        'buttons': draw_buttons,
        'splash': draw_splash,
        'about': draw_about,
        'banner': draw_banner,
        'installer': draw_installer,
    }
    names = argv or list(jobs)
    for name in names:
        print('drawing', name)
        jobs[name]()


if __name__ == '__main__':
    main(sys.argv[1:])
