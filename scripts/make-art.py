#!/usr/bin/env python3
"""Generates the installer's art into res/art/: the bitmaps, the hand cursor
and the program icon. The output is the same, byte for byte, on every run.

    python3 scripts/make-art.py [--preview DIR]

--preview also writes art-preview-choose.png and art-preview-finish.png into
DIR: both screens composed as the installer paints them, for a look.

Needs Pillow (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core).
Element bitmaps are drawn over the background with pure white (0xFFFFFF)
transparent, so every opaque pixel here is kept at or below 0xFEFEFE.
"""

import math
import os
import random
import struct
import sys

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    # A python3 of its own (pyenv, venv) may lack Pillow; Debian's has it.
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make-art.py needs Pillow: apt-get install python3-pil")

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "art")
FONTS = "/usr/share/fonts/truetype/dejavu"

W, H = 600, 320          # background, and the window's client area
FINISH_H = 298           # the finish picture covers the panel, not the band
BAND_TOP = 296           # the dark band that carries the hint line and buttons
TILE = (16, 16, 272, 226)  # the vortex picture; left of the check box column

WHITE = (255, 255, 255)  # the transparent colour of every element bitmap
NEAR_WHITE = (254, 254, 254)
INK = (22, 28, 54)       # dark navy: frame, headings
BAND_HI = (34, 40, 74)   # band gradient, top to bottom
BAND_LO = (16, 19, 40)
CYAN = (70, 205, 255)
VIOLET = (132, 96, 255)
MAGENTA = (226, 84, 206)

# Where the installer draws the elements (client pixels).
POS_CANCEL = (537, 299)
POS_INSTALL = (475, 299)
POS_FINISH = (535, 299)
POS_BADGE32 = (480, 236)
POS_BADGE64 = (510, 236)
POS_CHECKBOX = (290, 100)
POS_LINK = (458, 20)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONTS, name), size)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def no_white(img):
    """Moves pure white to 0xFEFEFE so that no opaque pixel turns transparent."""
    px = img.load()
    for y in range(img.height):
        for x in range(img.width):
            if px[x, y] == WHITE:
                px[x, y] = NEAR_WHITE
    return img


def coverage(size, draw_fn, ss=8):
    """An anti-aliased mask ("L") of shapes drawn by draw_fn(draw, scale) at ss times the size."""
    w, h = size
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), ss)
    return big.resize((w, h), Image.BOX)


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w - 1, y)], fill=mix(top, bottom, y / max(1, h - 1)))
    return img


def text_box(draw, text, fnt):
    """Ink box of text drawn at the origin: (left, top, right, bottom)."""
    return draw.textbbox((0, 0), text, font=fnt)


def draw_text_at(draw, xy, text, fnt, fill, anchor_ink=True):
    """Draws text so that its ink's top-left corner lands on xy."""
    if anchor_ink:
        l, t, _, _ = text_box(draw, text, fnt)
        xy = (xy[0] - l, xy[1] - t)
    draw.text(xy, text, font=fnt, fill=fill)


# ---------------------------------------------------------------- vortex


def vortex_field(size, center, radius, arms=3, twist=2.4, sharp=3.2, seed=581, stars=True,
                 gain=1.0, bloom=0.7):
    """Renders the luminous vortex: glowing log-spiral arms around a white-hot core,
    on a deep night-blue ground with a few stars. Returns an RGB image."""
    w, h = size
    cx, cy = center
    img = Image.new("RGB", size)
    px = img.load()
    k = 2.0
    norm = 1.0 - math.exp(-k)
    for y in range(h):
        for x in range(w):
            dx = (x + 0.5 - cx) / radius
            dy = (y + 0.5 - cy) / radius
            r = math.hypot(dx, dy)
            th = math.atan2(dy, dx)
            ph = arms * (th + twist * math.log(r + 0.03))
            # broad bright arms, and a fainter trailing set between them
            a1 = (0.5 + 0.5 * math.cos(ph)) ** sharp
            a2 = (0.5 + 0.5 * math.cos(ph + 2.3)) ** (sharp * 2.5)
            env = math.exp(-(r / 0.74) ** 2.2) * min(1.0, r / 0.12)
            arm = (a1 * 1.25 + a2 * 0.45) * env * gain
            core = math.exp(-(r / 0.075) ** 2) * 2.2
            halo = math.exp(-(r / 0.24) ** 2) * 0.45
            # colour runs from cyan near the core through violet to magenta
            if r < 0.42:
                col = mix(CYAN, VIOLET, r / 0.42)
            else:
                col = mix(VIOLET, MAGENTA, min(1.0, (r - 0.42) / 0.5))
            gnd = mix((7, 9, 26), (22, 18, 58), math.exp(-(r / 0.9) ** 2))
            out = []
            for i in range(3):
                v = gnd[i] / 255.0 + col[i] / 255.0 * (arm + halo) + core
                out.append(min(255, int(255 * (1.0 - math.exp(-k * v)) / norm + 0.5)))
            px[x, y] = tuple(out)
    # bloom: a blurred, dimmed copy screened over the image makes the arms glow
    glow = img.filter(ImageFilter.GaussianBlur(radius * 0.07)).point(lambda v: int(v * bloom))
    img = ImageChops.screen(img, glow)
    if not stars:
        return img
    # stars and sparks (fixed seed), added as light
    rnd = random.Random(seed)
    layer = Image.new("RGB", size)
    d = ImageDraw.Draw(layer)
    unit = radius / 100.0
    for _ in range(int(w * h / 1400)):
        x = rnd.uniform(0, w)
        y = rnd.uniform(0, h)
        b = rnd.uniform(0.2, 0.85) ** 1.5
        s = rnd.choice((0.9, 1.1, 1.4, 2.0)) * unit
        c = mix((140, 170, 255), (255, 240, 255), rnd.random())
        d.ellipse([x - s / 2, y - s / 2, x + s / 2, y + s / 2], fill=tuple(int(v * b) for v in c))
    # sparks strewn along the arms
    for _ in range(int(w * h / 2200)):
        t = rnd.uniform(0.15, 0.85)
        arm_i = rnd.randrange(arms)
        th = (2 * math.pi * arm_i) / arms - twist * math.log(t + 0.03) + rnd.gauss(0, 0.12)
        x = cx + math.cos(th) * t * radius
        y = cy + math.sin(th) * t * radius
        s = rnd.choice((1.0, 1.3, 1.8)) * unit
        b = rnd.uniform(0.4, 1.0)
        d.ellipse([x - s / 2, y - s / 2, x + s / 2, y + s / 2], fill=(int(255 * b),) * 3)
    layer = ImageChops.add(layer, layer.filter(ImageFilter.GaussianBlur(1.2 * unit)))
    return ImageChops.screen(img, layer)


def rounded_paste(dst, src, box, radius, ss=8):
    """Pastes src into dst at box with anti-aliased rounded corners."""
    x0, y0, x1, y1 = box
    mask = coverage((x1 - x0, y1 - y0),
                    lambda d, s: d.rounded_rectangle([0, 0, (x1 - x0) * s - 1, (y1 - y0) * s - 1],
                                                     radius * s, fill=255), ss)
    dst.paste(src, (x0, y0), mask)


# ---------------------------------------------------------------- background


def make_panel():
    """The framed, lightly striped panel and the dark bottom band, without the picture."""
    img = vertical_gradient((W, H), (247, 249, 253), (229, 234, 244))
    px = img.load()
    # diagonal pinstripes, faint enough that text over them stays crisp
    for y in range(BAND_TOP):
        for x in range(W):
            if (x + y) % 7 < 2:
                r, g, b = px[x, y]
                px[x, y] = (r - 5, g - 4, b - 3)
    d = ImageDraw.Draw(img)
    band = vertical_gradient((W, H - BAND_TOP), BAND_HI, BAND_LO)
    img.paste(band, (0, BAND_TOP))
    # a luminous seam between panel and band: cyan through violet to magenta
    for x in range(W):
        t = x / (W - 1)
        c = mix(CYAN, VIOLET, t * 2) if t < 0.5 else mix(VIOLET, MAGENTA, t * 2 - 1)
        d.point((x, BAND_TOP - 1), fill=c)
        d.point((x, BAND_TOP - 2), fill=mix(c, px[x, BAND_TOP - 3], 0.6))
    # frame: dark outer line, light inner line on the panel
    d.rectangle([0, 0, W - 1, H - 1], outline=INK)
    d.line([(1, 1), (W - 2, 1)], fill=(252, 253, 255))
    d.line([(1, 1), (1, BAND_TOP - 3)], fill=(252, 253, 255))
    d.line([(W - 2, 1), (W - 2, BAND_TOP - 3)], fill=(214, 220, 232))
    return img


def make_picture():
    """The vortex tile, with its soft drop shadow drawn onto a transparent layer."""
    x0, y0, x1, y1 = TILE
    tw, th = x1 - x0, y1 - y0
    ss = 2
    big = vortex_field((tw * ss, th * ss), (tw * ss * 0.5, th * ss * 0.47), th * ss * 0.50)
    return big.resize((tw, th), Image.LANCZOS)


def make_background():
    img = make_panel()
    x0, y0, x1, y1 = TILE
    # soft shadow under the tile
    shadow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(shadow).rounded_rectangle([x0 + 1, y0 + 3, x1 + 1, y1 + 4], 12, fill=90)
    shadow = shadow.filter(ImageFilter.GaussianBlur(4))
    img.paste(Image.new("RGB", (W, H), (40, 46, 80)), (0, 0), shadow)
    rounded_paste(img, make_picture(), TILE, 11)
    d = ImageDraw.Draw(img)
    # a thin rim that catches the light
    rim = coverage((x1 - x0, y1 - y0), lambda dd, s: (
        dd.rounded_rectangle([0, 0, (x1 - x0) * s - 1, (y1 - y0) * s - 1], 11 * s, fill=255),
        dd.rounded_rectangle([s, s, (x1 - x0 - 1) * s - 1, (y1 - y0 - 1) * s - 1], 10 * s, fill=0)))
    img.paste(Image.new("RGB", rim.size, (96, 104, 170)), (x0, y0), rim)
    # caption in the tile, under the vortex
    cap = font("DejaVuSans-Bold.ttf", 9)
    text = "F I L T E R   P L U G - I N"
    l, t, r, b = text_box(d, text, cap)
    draw_text_at(d, ((x0 + x1) // 2 - (r - l) // 2, y1 - 18), text, cap, (150, 160, 220))
    # the product name beside the picture, under the link and above the check box
    name = font("DejaVuSans-Bold.ttf", 31)
    draw_text_at(d, (290, 45), "Lumivortex", name, INK)
    # accent under the name
    for x in range(290, 352):
        t = (x - 290) / 61
        d.line([(x, 78), (x, 79)], fill=mix(CYAN, VIOLET, t))
    sub = font("DejaVuSans.ttf", 11)
    draw_text_at(d, (358, 75), "Setup", sub, (96, 104, 136))
    return no_white(img)


# ---------------------------------------------------------------- finish picture


def make_finish(bg):
    """The finish screen: a completion card in the place of the prompt and folder list.
    Pixels equal to the background become white, so the background (and the link,
    drawn before the picture) shows through them exactly."""
    full = bg.crop((0, 0, W, FINISH_H))
    d = ImageDraw.Draw(full)
    card = (16, 230, 584, 284)
    x0, y0, x1, y1 = card
    # card: light, green-tinted, thin border, soft shadow
    shadow = Image.new("L", full.size, 0)
    ImageDraw.Draw(shadow).rounded_rectangle([x0, y0 + 2, x1, y1 + 2], 8, fill=70)
    shadow = shadow.filter(ImageFilter.GaussianBlur(3))
    full.paste(Image.new("RGB", full.size, (60, 80, 110)), (0, 0), shadow)
    fill = vertical_gradient((x1 - x0, y1 - y0), (244, 252, 247), (226, 244, 233))
    body = coverage((x1 - x0, y1 - y0), lambda dd, s: dd.rounded_rectangle(
        [0, 0, (x1 - x0) * s - 1, (y1 - y0) * s - 1], 8 * s, fill=255))
    full.paste(fill, (x0, y0), body)
    edge = coverage((x1 - x0, y1 - y0), lambda dd, s: (
        dd.rounded_rectangle([0, 0, (x1 - x0) * s - 1, (y1 - y0) * s - 1], 8 * s, fill=255),
        dd.rounded_rectangle([s, s, (x1 - x0 - 1) * s - 1, (y1 - y0 - 1) * s - 1], 7 * s, fill=0)))
    full.paste(Image.new("RGB", edge.size, (120, 190, 150)), (x0, y0), edge)
    # a green disc with a white tick
    cx, cy, rad = x0 + 30, (y0 + y1) // 2, 17
    disc_box = (cx - rad, cy - rad, cx + rad + 1, cy + rad + 1)
    dw = disc_box[2] - disc_box[0]
    disc_fill = vertical_gradient((dw, dw), (62, 190, 110), (28, 140, 76))
    disc = coverage((dw, dw), lambda dd, s: dd.ellipse([0, 0, dw * s - 1, dw * s - 1], fill=255))
    full.paste(disc_fill, disc_box[:2], disc)
    tick = coverage((dw, dw), lambda dd, s: dd.line(
        [(9.5 * s, 18.5 * s), (15 * s, 24 * s), (25.5 * s, 12 * s)], fill=255, width=int(3.6 * s),
        joint="curve"))
    full.paste(Image.new("RGB", (dw, dw), NEAR_WHITE), disc_box[:2], tick)
    # the two texts
    big = font("DejaVuSans-Bold.ttf", 21)
    small = font("DejaVuSans.ttf", 13)
    tx = x0 + 60
    draw_text_at(d, (tx, y0 + 10), "Installation complete", big, (20, 84, 48))
    draw_text_at(d, (tx, y0 + 36), "Please restart Image Editor", small, (40, 60, 70))
    no_white(full)
    out = full.copy()
    po, pb = out.load(), bg.load()
    for y in range(FINISH_H):
        for x in range(W):
            # the seam and the band stay the background's own
            if po[x, y] == pb[x, y] or y >= BAND_TOP - 3:
                po[x, y] = WHITE
    return out


# ---------------------------------------------------------------- small elements


def compose_over(bg_crop, face, mask):
    """Face over the background it will sit on; fully uncovered pixels become white."""
    out = Image.composite(face, bg_crop, mask)
    no_white(out)
    po, pm = out.load(), mask.load()
    for y in range(out.height):
        for x in range(out.width):
            if pm[x, y] == 0:
                po[x, y] = WHITE
    return out


def make_button(bg, pos, size, caption, primary):
    w, h = size
    crop = bg.crop((pos[0], pos[1], pos[0] + w, pos[1] + h))
    if primary:
        face = vertical_gradient(size, (124, 118, 255), (70, 64, 214))
        border, highlight, text, shade = (40, 34, 140), (168, 164, 255), NEAR_WHITE, (36, 30, 120)
    else:
        face = vertical_gradient(size, (84, 92, 128), (54, 60, 90))
        border, highlight, text, shade = (18, 20, 40), (120, 128, 166), (232, 236, 246), (20, 22, 44)
    d = ImageDraw.Draw(face)
    d.line([(2, 1), (w - 3, 1)], fill=highlight)
    fnt = font("DejaVuSans-Bold.ttf", 10)
    l, t, r, b = text_box(d, caption, fnt)
    # cap height centred; letters of the captions have no descenders
    tx = (w - (r - l)) // 2
    ty = (h - (b - t)) // 2
    draw_text_at(d, (tx, ty + 1), caption, fnt, shade)
    draw_text_at(d, (tx, ty), caption, fnt, text)
    mask = coverage(size, lambda dd, s: dd.rounded_rectangle([0, 0, w * s - 1, h * s - 1], 4 * s, fill=255))
    ring = coverage(size, lambda dd, s: (
        dd.rounded_rectangle([0, 0, w * s - 1, h * s - 1], 4 * s, fill=255),
        dd.rounded_rectangle([s, s, (w - 1) * s - 1, (h - 1) * s - 1], 3 * s, fill=0)))
    face.paste(Image.new("RGB", size, border), (0, 0), ring)
    return compose_over(crop, face, mask)


def make_badge(bg, pos, caption):
    w, h = 20, 19
    crop = bg.crop((pos[0], pos[1], pos[0] + w, pos[1] + h))
    # the badge is a 20 x 16 chip centred in its 19 rows
    y0, y1 = 1.5, 17.5
    face = vertical_gradient((w, h), (58, 120, 226), (34, 80, 186))
    d = ImageDraw.Draw(face)
    fnt = font("DejaVuSans-Bold.ttf", 10)
    l, t, r, b = text_box(d, caption, fnt)
    draw_text_at(d, ((w - (r - l)) // 2, (h - (b - t)) // 2), caption, fnt, NEAR_WHITE)
    mask = coverage((w, h), lambda dd, s: dd.rounded_rectangle(
        [0, y0 * s, w * s - 1, y1 * s - 1], 4 * s, fill=255))
    return compose_over(crop, face, mask)


def make_checkbox(bg):
    """Four 13 x 13 frames: unticked, unticked pressed, ticked, ticked pressed."""
    n = 13
    crop = bg.crop((POS_CHECKBOX[0], POS_CHECKBOX[1], POS_CHECKBOX[0] + n, POS_CHECKBOX[1] + n))
    strip = Image.new("RGB", (4 * n, n), WHITE)
    box = coverage((n, n), lambda d, s: d.rounded_rectangle([0, 0, n * s - 1, n * s - 1], 2.5 * s, fill=255))
    ring = coverage((n, n), lambda d, s: (
        d.rounded_rectangle([0, 0, n * s - 1, n * s - 1], 2.5 * s, fill=255),
        d.rounded_rectangle([s, s, (n - 1) * s - 1, (n - 1) * s - 1], 1.6 * s, fill=0)))
    tick = coverage((n, n), lambda d, s: d.line(
        [(2.7 * s, 6.6 * s), (5.3 * s, 9.4 * s), (10.4 * s, 3.3 * s)], fill=255, width=int(2.4 * s),
        joint="curve"))
    for i in range(4):
        pressed = i % 2 == 1
        ticked = i >= 2
        if pressed:
            face = vertical_gradient((n, n), (196, 204, 224), (214, 220, 236))
            border = (30, 40, 84)
        else:
            face = vertical_gradient((n, n), (254, 254, 254), (226, 231, 242))
            border = (74, 84, 120)
        face.paste(Image.new("RGB", (n, n), border), (0, 0), ring)
        if ticked:
            face.paste(Image.new("RGB", (n, n), (34, 86, 204) if not pressed else (20, 58, 160)), (0, 0), tick)
        strip.paste(compose_over(crop, face, box), (i * n, 0))
    return strip


# ---------------------------------------------------------------- cursor and icon


def rgba_to_dib(img):
    """XOR (32-bit BGRA, bottom-up) and AND (1-bit, bottom-up) images of an icon entry."""
    w, h = img.size
    px = img.load()
    xor = bytearray()
    andm = bytearray()
    row_bytes = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        bits = bytearray(row_bytes)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        andm += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(andm)


def icon_file(entries, kind):
    """An .ico (kind 1) or .cur (kind 2) file; entries are (RGBA image, hotspot or None)."""
    blobs = [rgba_to_dib(img) for img, _ in entries]
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for (img, hot), blob in zip(entries, blobs):
        w, h = img.size
        if kind == 1:
            f1, f2 = 1, 32          # planes, bits per pixel
        else:
            f1, f2 = hot            # hotspot x, y
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f1, f2, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def make_hand():
    """The pointing hand: white with a dark outline, index finger up. Hotspot at its tip."""
    ss = 8
    size = 32

    def shape(d, s, grow):
        g = grow * s

        def rr(x0, y0, x1, y1, r):
            d.rounded_rectangle([x0 * s - g, y0 * s - g, x1 * s + g, y1 * s + g], r * s + g, fill=255)

        rr(9, 1, 14, 17, 2.5)          # index finger
        rr(13, 9, 18, 18, 2.3)         # middle
        rr(17, 10, 22, 19, 2.3)        # ring
        rr(21, 11.5, 25.5, 20, 2.2)    # little
        rr(9, 15, 25.5, 27, 4.5)       # palm
        rr(11, 25, 24, 30, 1.2)        # wrist
        # thumb, angled up from the palm
        d.polygon([(4.5 * s - g, 17.5 * s), (7 * s, 15 * s - g), (11 * s + g, 19 * s),
                   (11 * s + g, 24 * s + g), (8 * s, 23 * s + g)], fill=255)
        d.ellipse([3.8 * s - g, 15.3 * s - g, 7.6 * s + g, 19.2 * s + g], fill=255)

    big_out = Image.new("L", (size * ss, size * ss), 0)
    shape(ImageDraw.Draw(big_out), ss, 1.1)
    big_in = Image.new("L", (size * ss, size * ss), 0)
    shape(ImageDraw.Draw(big_in), ss, 0)
    # creases between the fingers and at the thumb, in outline colour
    dcr = ImageDraw.Draw(big_in)
    for x0, y0, y1 in ((13.5, 9.0, 13.5), (17.5, 10.0, 14.5), (21.5, 11.5, 16.0)):
        dcr.line([(x0 * ss, y0 * ss), (x0 * ss, y1 * ss)], fill=0, width=ss)
    dcr.line([(7.0 * ss, 19.0 * ss), (10.6 * ss, 21.6 * ss)], fill=0, width=ss)
    dcr.line([(12 * ss, 26.2 * ss), (23 * ss, 26.2 * ss)], fill=0, width=ss)
    alpha = big_out.resize((size, size), Image.BOX)
    white = big_in.resize((size, size), Image.BOX)
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    pa, pw, pi = alpha.load(), white.load(), img.load()
    for y in range(size):
        for x in range(size):
            a = pa[x, y]
            if a == 0:
                continue
            # colour over the outline: white where the hand's inside covers the pixel
            v = min(255, int(round(255 * pw[x, y] / a)))
            pi[x, y] = (v, v, v, a)
    return img, (11, 1)


def make_icon_image(size):
    """The vortex on a dark rounded square; the 16 x 16 one with fewer, broader arms."""
    ss = 256 // size
    if size <= 16:
        big = vortex_field((size * ss, size * ss), (size * ss / 2, size * ss / 2), size * ss * 0.52,
                           arms=2, twist=1.6, sharp=2.4, stars=False, gain=1.1, bloom=0.35)
    else:
        big = vortex_field((size * ss, size * ss), (size * ss / 2, size * ss / 2), size * ss * 0.50,
                           arms=3, twist=2.0, sharp=3.0, stars=False, gain=1.0, bloom=0.45)
    img = big.resize((size, size), Image.LANCZOS).convert("RGBA")
    radius = size * 0.22
    mask = coverage((size, size), lambda d, s: d.rounded_rectangle(
        [0, 0, size * s - 1, size * s - 1], radius * s, fill=255))
    img.putalpha(mask)
    return img


# ---------------------------------------------------------------- preview


def preview(art, out_dir):
    """Both screens composed roughly as the installer paints them."""
    bg = art["background.bmp"]
    ui = font("DejaVuSans.ttf", 11)

    def over(dst, elem, pos):
        mask = Image.eval(elem.convert("L"), lambda v: 0)
        pe, pm = elem.load(), mask.load()
        for y in range(elem.height):
            for x in range(elem.width):
                if pe[x, y] != WHITE:
                    pm[x, y] = 255
        dst.paste(elem, pos, mask)

    def link(d):
        d.text(POS_LINK, "www.kestovan.example", font=ui, fill=(0, 0, 255))
        w = d.textlength("www.kestovan.example", font=ui)
        d.line([(POS_LINK[0], POS_LINK[1] + 12), (POS_LINK[0] + w, POS_LINK[1] + 12)], fill=(0, 0, 255))

    choose = bg.copy()
    over(choose, art["cancel.bmp"], POS_CANCEL)
    over(choose, art["install.bmp"], POS_INSTALL)
    over(choose, art["badge32.bmp"], POS_BADGE32)
    over(choose, art["badge64.bmp"], POS_BADGE64)
    over(choose, art["checkbox.bmp"].crop((26, 0, 39, 13)), POS_CHECKBOX)
    d = ImageDraw.Draw(choose)
    link(d)
    d.text((310, 100), "Lumivortex plug-in", font=ui, fill=(0, 0, 0))
    d.text((20, 238), "Select folder where setup will install files:", font=ui, fill=(0, 0, 0))
    # the drop-down list, drawn as a plain combo box
    d.rectangle([16, 260, 580, 280], fill=(255, 255, 255), outline=(122, 122, 122))
    d.rectangle([563, 262, 578, 278], fill=(212, 208, 200), outline=(128, 128, 128))
    d.polygon([(567, 268), (575, 268), (571, 272)], fill=(0, 0, 0))
    d.text((20, 264), "C:\\Program Files\\Image Editor\\Plug-ins\\Kestovan\\", font=ui, fill=(0, 0, 0))
    d.text((20, 301), "Install 32-bit version", font=ui, fill=(255, 255, 255))
    choose.save(os.path.join(out_dir, "art-preview-choose.png"))

    finish = bg.copy()
    over(finish, art["finish_button.bmp"], POS_FINISH)
    link(ImageDraw.Draw(finish))
    over(finish, art["finish.bmp"], (0, 0))
    ImageDraw.Draw(finish).text((20, 301), "Visit kestovan.example", font=ui, fill=(255, 255, 255))
    finish.save(os.path.join(out_dir, "art-preview-finish.png"))

    # element sheet, magnified 4x, for a close look
    sheet = Image.new("RGB", (300, 130), (128, 128, 128))
    x = 4
    for name in ("cancel.bmp", "install.bmp", "finish_button.bmp", "badge32.bmp", "badge64.bmp"):
        sheet.paste(art[name], (x, 4))
        x += art[name].width + 4
    sheet.paste(art["checkbox.bmp"], (4, 28))
    hand, _ = make_hand()
    sheet.paste(hand, (64, 28), hand)
    for i, s in enumerate((32, 16)):
        ic = make_icon_image(s)
        sheet.paste(ic, (100 + i * 40, 28), ic)
    sheet.resize((1200, 520), Image.NEAREST).save(os.path.join(out_dir, "art-preview-elements.png"))


# ---------------------------------------------------------------- main


def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(OUT, name), "BMP")


def main():
    args = sys.argv[1:]
    preview_dir = None
    if args[:1] == ["--preview"]:
        preview_dir = args[1] if len(args) > 1 else "/tmp"
    elif args:
        sys.exit(__doc__)
    os.makedirs(OUT, exist_ok=True)
    bg = make_background()
    art = {
        "background.bmp": bg,
        "finish.bmp": make_finish(bg),
        "cancel.bmp": make_button(bg, POS_CANCEL, (58, 19), "CANCEL", False),
        "install.bmp": make_button(bg, POS_INSTALL, (60, 19), "INSTALL", True),
        "finish_button.bmp": make_button(bg, POS_FINISH, (60, 19), "FINISH", True),
        "badge32.bmp": make_badge(bg, POS_BADGE32, "32"),
        "badge64.bmp": make_badge(bg, POS_BADGE64, "64"),
        "checkbox.bmp": make_checkbox(bg),
    }
    for name, img in art.items():
        save_bmp(img, name)
    hand, hot = make_hand()
    with open(os.path.join(OUT, "hand.cur"), "wb") as f:
        f.write(icon_file([(hand, hot)], 2))
    with open(os.path.join(OUT, "lumivortex.ico"), "wb") as f:
        f.write(icon_file([(make_icon_image(32), None), (make_icon_image(16), None)], 1))
    if preview_dir:
        preview(art, preview_dir)


if __name__ == "__main__":
    main()
