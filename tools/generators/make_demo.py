#!/usr/bin/python3
"""Writes the bundled demo puzzle set demo/Game001 ... demo/Game013.

Each puzzle folder gets "Game.txt" (Windows-1252, LF line ends: the question on the first line,
then the answer candidates) and, for all but the first puzzle, "Pic.png", a picture drawn here
with PIL at twice its size and filtered down. The puzzles show what the format can do: several
candidates of which the game draws one, "@" switch times, answers of two and three rows split
at "|", umlauts and ß, a question long enough to need the smaller question font, a picture with
an alpha channel (the clock), and a puzzle without a picture (the first one, so that no earlier
picture is still on the screen when it comes up).

The pictures are at most 450 pixels high so that they fit below the answer on a 1080-line
screen. Random details (snowflakes, bubbles, grass) come from fixed seeds.
"""

import math
import random
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = Path(__file__).resolve().parents[2]
SCALE = 2
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


# --- drawing helpers -------------------------------------------------------------------------

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def with_alpha(colour, alpha):
    return tuple(colour[:3]) + (alpha,)


class Canvas:
    """An RGBA drawing surface SCALE times the picture's size; coordinates are picture pixels."""

    def __init__(self, width, height, background=(0, 0, 0, 255)):
        self.width, self.height = width, height
        self.image = Image.new("RGBA", (width * SCALE, height * SCALE), background)
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def s(value):
        return value * SCALE

    def points(self, points):
        return [(x * SCALE, y * SCALE) for x, y in points]

    def box(self, box):
        return [v * SCALE for v in box]

    def vertical_gradient(self, box, top, bottom, draw=None):
        draw = draw or self.draw
        x0, y0, x1, y1 = self.box(box)
        span = max(1, y1 - y0 - 1)
        for y in range(int(y0), int(y1)):
            draw.line([(x0, y), (x1 - 1, y)], fill=mix(top, bottom, (y - y0) / span))

    def radial_gradient(self, centre, radii, inner, outer, steps=48, draw=None):
        """Concentric ellipses from the outer colour at the rim to the inner colour."""
        draw = draw or self.draw
        cx, cy = centre
        rx, ry = radii
        for i in range(steps, 0, -1):
            f = i / steps
            draw.ellipse(self.box((cx - rx * f, cy - ry * f, cx + rx * f, cy + ry * f)),
                         fill=mix(inner, outer, f))

    def polygon(self, points, fill=None, outline=None, width=1):
        self.draw.polygon(self.points(points), fill=fill)
        if outline:
            closed = self.points(points) + self.points(points[:1])
            self.draw.line(closed, fill=outline, width=round(width * SCALE), joint="curve")

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self.box(box), fill=fill, outline=outline, width=round(width * SCALE))

    def circle(self, centre, radius, fill=None, outline=None, width=1):
        x, y = centre
        self.ellipse((x - radius, y - radius, x + radius, y + radius), fill, outline, width)

    def line(self, points, fill, width=1):
        self.draw.line(self.points(points), fill=fill, width=max(1, round(width * SCALE)),
                       joint="curve")

    def rectangle(self, box, fill=None, outline=None, width=1):
        self.draw.rectangle(self.box(box), fill=fill, outline=outline, width=round(width * SCALE))

    def paste_in_ellipse(self, layer, box):
        """Copies the part of a full-size layer that lies inside the ellipse box."""
        mask = Image.new("L", self.image.size, 0)
        ImageDraw.Draw(mask).ellipse(self.box(box), fill=255)
        self.image.paste(layer, (0, 0), mask)

    def overlay(self):
        """A transparent layer to draw see-through shapes on; merge it with merge()."""
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        return layer, ImageDraw.Draw(layer)

    def merge(self, layer, blur=0):
        if blur:
            layer = layer.filter(ImageFilter.GaussianBlur(blur * SCALE))
        self.image.alpha_composite(layer)

    def finish(self, keep_alpha=False):
        picture = self.image.resize((self.width, self.height), Image.LANCZOS)
        return picture if keep_alpha else picture.convert("RGB")


def rotated_ellipse(cx, cy, rx, ry, angle, count=40):
    c, s = math.cos(angle), math.sin(angle)
    points = []
    for k in range(count):
        t = 2 * math.pi * k / count
        x, y = rx * math.cos(t), ry * math.sin(t)
        points.append((cx + x * c - y * s, cy + x * s + y * c))
    return points


def regular_polygon(cx, cy, radius, count, rotation):
    return [(cx + radius * math.cos(rotation + 2 * math.pi * k / count),
             cy + radius * math.sin(rotation + 2 * math.pi * k / count)) for k in range(count)]


# --- the pictures ----------------------------------------------------------------------------

def sunrise():
    c = Canvas(640, 400)
    horizon = 250
    c.vertical_gradient((0, 0, 640, horizon), (20, 40, 110), (255, 150, 70))
    glow, draw = c.overlay()
    c.radial_gradient((320, horizon), (260, 170), (255, 230, 150, 200), (255, 170, 80, 0),
                      draw=draw)
    c.merge(glow)
    c.radial_gradient((320, horizon), (62, 62), (255, 250, 210), (255, 190, 60))
    c.vertical_gradient((0, horizon, 640, 400), (240, 140, 80), (10, 40, 90))
    # The sun's path on the water: ever shorter golden strokes towards the horizon.
    for k in range(18):
        y = horizon + 6 + k * k * 0.45 + k * 2
        half = 60 - k * 2.4 + (k % 3) * 6
        colour = mix((255, 230, 140), (220, 120, 60), k / 18)
        c.line([(320 - half, y), (320 + half, y)], colour, width=2 + k * 0.15)
    for x, y, size in ((140, 90, 14), (175, 110, 10), (470, 70, 12), (500, 95, 9)):
        c.line([(x - size, y - size * 0.5), (x, y), (x + size, y - size * 0.5)], (40, 30, 50),
               width=2.2)
    return c.finish()


def lighthouse():
    c = Canvas(560, 440)
    c.vertical_gradient((0, 0, 560, 300), (12, 20, 60), (90, 80, 140))
    beams, draw = c.overlay()
    lamp = (300, 118)
    for target in ((0, 40, 0, 170), (560, 60, 560, 190)):
        draw.polygon(c.points([lamp, target[:2], target[2:]]), fill=(255, 240, 160, 90))
    c.merge(beams, blur=3)
    c.vertical_gradient((0, 300, 560, 440), (30, 60, 110), (8, 20, 50))
    rng = random.Random(3)
    for _ in range(40):
        x, y = rng.uniform(0, 560), rng.uniform(310, 435)
        c.line([(x, y), (x + rng.uniform(10, 30), y)], (120, 160, 210), width=1.4)
    # Rocks under the tower.
    c.polygon([(170, 440), (200, 330), (260, 305), (350, 300), (420, 330), (460, 440)],
              fill=(60, 55, 60))
    c.polygon([(210, 440), (240, 345), (300, 322), (360, 330), (400, 440)], fill=(85, 78, 82))
    # Tower: red and white rings on a tapering body.
    bottom, top = 320, 150
    for k in range(6):
        y0 = bottom - (bottom - top) * k / 6
        y1 = bottom - (bottom - top) * (k + 1) / 6
        w0 = 42 - 16 * k / 6
        w1 = 42 - 16 * (k + 1) / 6
        colour = (215, 30, 40) if k % 2 == 0 else (245, 245, 240)
        c.polygon([(300 - w0, y0), (300 + w0, y0), (300 + w1, y1), (300 - w1, y1)], fill=colour)
    shade, draw = c.overlay()
    draw.polygon(c.points([(300, bottom), (342, bottom), (326, top), (300, top)]),
                 fill=(0, 0, 30, 70))
    c.merge(shade)
    c.rectangle((262, 140, 338, 150), fill=(40, 40, 50))
    c.line([(266, 140), (266, 126), (334, 126), (334, 140)], (40, 40, 50), width=2)
    c.radial_gradient(lamp, (22, 16), (255, 255, 220), (255, 200, 60))
    c.rectangle((280, 102, 320, 134), outline=(40, 40, 50), width=3)
    c.polygon([(274, 104), (326, 104), (300, 80)], fill=(40, 40, 50))
    c.circle((300, 78), 4, fill=(40, 40, 50))
    return c.finish()


def bicycle():
    c = Canvas(640, 400)
    c.vertical_gradient((0, 0, 640, 300), (150, 200, 250), (225, 240, 255))
    c.vertical_gradient((0, 300, 640, 400), (120, 180, 90), (70, 130, 60))
    shadow, draw = c.overlay()
    draw.ellipse(c.box((110, 322, 530, 346)), fill=(0, 0, 0, 70))
    c.merge(shadow, blur=4)
    rear, front, radius = (200, 250), (450, 250), 85
    for hub in (rear, front):
        c.circle(hub, radius, outline=(30, 30, 30), width=11)
        c.circle(hub, radius - 6, outline=(120, 120, 120), width=2)
        for k in range(18):
            a = math.pi * 2 * k / 18
            c.line([hub, (hub[0] + (radius - 7) * math.cos(a), hub[1] + (radius - 7) * math.sin(a))],
                   (170, 170, 175), width=1)
        c.circle(hub, 7, fill=(90, 90, 95))
    crank = (310, 255)
    seat_top, head_top, head_bottom = (280, 150), (425, 148), (432, 180)
    frame = (200, 40, 40)
    c.line([rear, crank, seat_top, rear], frame, width=7)
    c.line([crank, head_bottom], frame, width=8)
    c.line([seat_top, head_top], frame, width=7)
    c.line([head_top, (440, 200), front], (150, 150, 155), width=6)
    c.line([(425, 148), (420, 128), (440, 118), (468, 124)], (40, 40, 40), width=6)
    c.line([seat_top, (275, 132)], (150, 150, 155), width=5)
    c.polygon([(248, 126), (300, 124), (306, 132), (262, 138)], fill=(30, 30, 30))
    c.circle(crank, 18, outline=(70, 70, 75), width=4)
    c.line([(crank[0] - 16, 248), (rear[0] + 5, 244)], (60, 60, 60), width=2)
    c.line([(crank[0] - 16, 272), (rear[0] + 5, 256)], (60, 60, 60), width=2)
    c.line([crank, (330, 292)], (60, 60, 60), width=5)
    c.rectangle((320, 289, 346, 296), fill=(30, 30, 30))
    return c.finish()


def apple_tree():
    c = Canvas(560, 440)
    c.vertical_gradient((0, 0, 560, 440), (110, 170, 240), (210, 235, 255))
    c.polygon([(0, 440), (0, 370), (140, 345), (300, 340), (450, 352), (560, 372), (560, 440)],
              fill=(90, 160, 60))
    c.vertical_gradient((0, 395, 560, 440), (80, 150, 55), (55, 115, 40))
    trunk = (120, 75, 40)
    c.polygon([(262, 380), (298, 380), (290, 250), (270, 250)], fill=trunk)
    for branch in (((280, 280), (210, 200)), ((282, 275), (350, 190)), ((280, 260), (285, 170))):
        c.line(list(branch), trunk, width=12)
    rng = random.Random(11)
    blobs = [(280, 170, 110), (200, 200, 75), (360, 200, 78), (240, 120, 70), (330, 125, 70),
             (280, 90, 60), (170, 240, 50), (395, 245, 50)]
    for x, y, r in blobs:
        c.radial_gradient((x - r * 0.2, y - r * 0.25), (r * 1.1, r * 1.0),
                          (110, 190, 80), (35, 110, 40), steps=30)
    for _ in range(14):
        x, y = rng.uniform(170, 390), rng.uniform(100, 260)
        c.radial_gradient((x, y), (11, 11), (255, 120, 110), (190, 20, 20), steps=12)
        c.circle((x - 3, y - 4), 2.5, fill=(255, 220, 210))
        c.line([(x, y - 10), (x + 2, y - 15)], (80, 50, 20), width=2)
    return c.finish()


def house():
    c = Canvas(600, 420)
    c.vertical_gradient((0, 0, 600, 330), (100, 160, 235), (200, 225, 250))
    c.vertical_gradient((0, 330, 600, 420), (110, 175, 75), (70, 130, 50))
    c.polygon([(260, 420), (290, 330), (310, 330), (340, 420)], fill=(200, 185, 160))
    c.rectangle((370, 90, 400, 160), fill=(150, 70, 50))
    smoke, draw = c.overlay()
    for k, (dx, dy, r) in enumerate(((0, 0, 12), (12, -25, 16), (30, -52, 20), (55, -80, 24))):
        draw.ellipse(c.box((385 + dx - r, 78 + dy - r, 385 + dx + r, 78 + dy + r)),
                     fill=(240, 240, 245, 170 - 30 * k))
    c.merge(smoke, blur=2)
    c.vertical_gradient((170, 200, 430, 335), (245, 235, 200), (215, 200, 165))
    c.polygon([(150, 205), (300, 85), (450, 205)], fill=(190, 50, 40))
    for k in range(1, 6):
        y = 85 + 120 * k / 6
        half = 150 * k / 6
        c.line([(300 - half, y), (300 + half, y)], (150, 35, 30), width=1.5)
    c.line([(150, 205), (300, 85), (450, 205)], (120, 30, 25), width=4)
    for x in (195, 345):
        c.rectangle((x, 235, x + 60, 285), fill=(150, 200, 240), outline=(255, 255, 255), width=5)
        c.line([(x + 30, 235), (x + 30, 285)], (255, 255, 255), width=3)
        c.line([(x, 260), (x + 60, 260)], (255, 255, 255), width=3)
    c.rectangle((275, 255, 325, 335), fill=(120, 70, 40), outline=(90, 50, 25), width=3)
    c.circle((315, 297), 3, fill=(230, 200, 90))
    c.circle((300, 150), 16, fill=(150, 200, 240), outline=(255, 255, 255), width=4)
    for x in range(10, 600, 24):
        if 250 < x < 350:
            continue
        c.polygon([(x, 400), (x, 352), (x + 7, 344), (x + 14, 352), (x + 14, 400)],
                  fill=(250, 250, 245), outline=(190, 190, 185), width=1)
    c.rectangle((0, 365, 255, 372), fill=(250, 250, 245))
    c.rectangle((345, 365, 600, 372), fill=(250, 250, 245))
    return c.finish()


def clock():
    """A round wall clock at three o'clock, on a transparent background."""
    size = 420
    c = Canvas(size, size, background=(0, 0, 0, 0))
    centre = (size / 2, size / 2)
    c.radial_gradient(centre, (200, 200), (120, 130, 150), (40, 45, 60), steps=40)
    c.radial_gradient(centre, (178, 178), (255, 255, 250), (225, 225, 215), steps=40)
    for k in range(60):
        a = math.pi * 2 * k / 60
        long = k % 5 == 0
        r0 = 150 if long else 160
        c.line([(centre[0] + r0 * math.sin(a), centre[1] - r0 * math.cos(a)),
                (centre[0] + 170 * math.sin(a), centre[1] - 170 * math.cos(a))],
               (30, 30, 40), width=5 if long else 2)
    font = ImageFont.truetype(FONT_BOLD, 34 * SCALE)
    for hour in range(1, 13):
        a = math.pi * 2 * hour / 12
        x, y = centre[0] + 122 * math.sin(a), centre[1] - 122 * math.cos(a)
        c.draw.text((x * SCALE, y * SCALE), str(hour), font=font, fill=(30, 30, 40), anchor="mm")
    c.line([centre, (centre[0] + 95, centre[1])], (20, 20, 30), width=12)    # hour hand at 3
    c.line([centre, (centre[0], centre[1] - 140)], (20, 20, 30), width=7)    # minute hand at 12
    second = math.pi * 2 * 40 / 60
    c.line([(centre[0] - 30 * math.sin(second), centre[1] + 30 * math.cos(second)),
            (centre[0] + 150 * math.sin(second), centre[1] - 150 * math.cos(second))],
           (200, 30, 30), width=2.5)
    c.circle(centre, 10, fill=(200, 30, 30))
    return c.finish(keep_alpha=True)


def flag():
    c = Canvas(620, 400)
    c.vertical_gradient((0, 0, 620, 400), (90, 150, 230), (190, 220, 250))
    c.rectangle((88, 30, 100, 400), fill=(170, 170, 175))
    c.circle((94, 28), 9, fill=(220, 190, 60))
    stripes = [(25, 25, 25), (220, 20, 30), (255, 205, 0)]
    left, width, top, height = 100, 460, 50, 270
    for column in range(0, width * SCALE):
        x = left + column / SCALE
        t = column / (width * SCALE)
        wave = 14 * math.sin(t * 2 * math.pi * 1.3) * t
        light = 1.0 + 0.18 * math.cos(t * 2 * math.pi * 1.3 + 0.6) * min(1.0, t * 3)
        for k, colour in enumerate(stripes):
            y0 = top + wave + height * k / 3
            y1 = top + wave + height * (k + 1) / 3
            lit = tuple(max(0, min(255, round(ch * light + (18 if light > 1 else 0)))) for ch in colour)
            c.draw.line([(x * SCALE, y0 * SCALE), (x * SCALE, y1 * SCALE)], fill=lit)
    return c.finish()


def snowman():
    c = Canvas(520, 440)
    c.vertical_gradient((0, 0, 520, 440), (15, 25, 70), (70, 90, 150))
    c.polygon([(0, 440), (0, 360), (160, 340), (360, 345), (520, 365), (520, 440)],
              fill=(225, 235, 250))
    rng = random.Random(42)
    for _ in range(90):
        x, y, r = rng.uniform(0, 520), rng.uniform(0, 360), rng.uniform(1.2, 3.2)
        c.circle((x, y), r, fill=(240, 245, 255))
    for cx, cy, r in ((260, 330, 78), (260, 215, 58), (260, 125, 42)):
        ball = Canvas(520, 440, background=(0, 0, 0, 0))
        ball.radial_gradient((cx - r * 0.3, cy - r * 0.35), (r * 1.3, r * 1.3), (255, 255, 255),
                             (160, 180, 215), steps=36)
        c.paste_in_ellipse(ball.image, (cx - r, cy - r, cx + r, cy + r))
    c.line([(205, 205), (140, 160), (120, 150)], (100, 65, 30), width=5)
    c.line([(140, 160), (128, 140)], (100, 65, 30), width=3)
    c.line([(315, 205), (380, 165), (402, 158)], (100, 65, 30), width=5)
    c.line([(380, 165), (392, 146)], (100, 65, 30), width=3)
    c.polygon([(214, 165), (306, 165), (300, 182), (220, 182)], fill=(200, 30, 40))
    c.polygon([(280, 178), (300, 178), (310, 235), (288, 232)], fill=(180, 20, 30))
    c.rectangle((225, 78, 295, 88), fill=(25, 25, 30))
    c.rectangle((236, 30, 284, 80), fill=(35, 35, 40))
    c.rectangle((236, 66, 284, 74), fill=(200, 30, 40))
    for x in (246, 274):
        c.circle((x, 118), 5, fill=(20, 20, 20))
    c.polygon([(258, 128), (264, 128), (300, 138)], fill=(240, 120, 20))
    for k in range(5):
        a = math.pi * (0.2 + 0.15 * k)
        c.circle((260 + 22 * math.cos(a), 128 + 14 * math.sin(a)), 2.6, fill=(30, 30, 30))
    for y in (205, 232, 300, 340):
        c.circle((260, y), 5, fill=(30, 30, 30))
    return c.finish()


def goldfish():
    c = Canvas(600, 400)
    c.vertical_gradient((0, 0, 600, 400), (40, 150, 190), (10, 50, 90))
    rays, draw = c.overlay()
    for x in (80, 230, 420):
        draw.polygon(c.points([(x, 0), (x + 50, 0), (x + 140, 400), (x + 60, 400)]),
                     fill=(255, 255, 255, 28))
    c.merge(rays, blur=6)
    rng = random.Random(7)
    for _ in range(160):
        x, y = rng.uniform(0, 600), rng.uniform(362, 400)
        c.circle((x, y), rng.uniform(3, 7), fill=mix((200, 170, 120), (120, 100, 70), rng.random()))
    for base, height, colour in ((60, 250, (30, 120, 50)), (110, 180, (50, 150, 60)),
                                 (520, 230, (35, 130, 55)), (555, 160, (60, 160, 70))):
        points = []
        for k in range(12):
            y = 380 - height * k / 11
            points.append((base + 14 * math.sin(k * 0.9), y))
        c.line(points, colour, width=9)
    # The fish, facing left.
    c.polygon([(360, 200), (440, 145), (425, 200), (440, 255)], fill=(240, 110, 20))
    c.polygon([(290, 160), (330, 120), (345, 168)], fill=(245, 130, 30))
    c.radial_gradient((285, 188), (95, 62), (255, 200, 90), (230, 90, 10), steps=40)
    c.polygon([(290, 238), (320, 268), (330, 232)], fill=(235, 105, 20))
    c.line([(330, 170), (322, 200), (330, 230)], (210, 80, 10), width=3)
    c.circle((232, 186), 12, fill=(255, 255, 255))
    c.circle((229, 186), 7, fill=(20, 20, 30))
    c.circle((227, 183), 2, fill=(255, 255, 255))
    c.line([(206, 208), (216, 212)], (170, 60, 10), width=3)
    for x, y, r in ((180, 160, 7), (170, 125, 5), (176, 92, 9), (165, 55, 6), (470, 80, 8)):
        c.circle((x, y), r, outline=(220, 240, 255), width=2)
        c.circle((x - r * 0.35, y - r * 0.35), r * 0.25, fill=(240, 250, 255))
    return c.finish()


def kite():
    c = Canvas(520, 440)
    c.vertical_gradient((0, 0, 520, 440), (60, 130, 230), (170, 210, 250))
    clouds, draw = c.overlay()
    for cx, cy in ((110, 90), (400, 330)):
        for dx, dy, r in ((-40, 8, 30), (0, -8, 40), (40, 6, 32), (10, 15, 30)):
            draw.ellipse(c.box((cx + dx - r, cy + dy - r, cx + dx + r, cy + dy + r)),
                         fill=(255, 255, 255, 220))
    c.merge(clouds, blur=2)
    top, right, bottom, left = (300, 40), (385, 135), (300, 290), (215, 135)
    centre = (300, 135)
    for points, colour in (((top, right, centre), (230, 40, 50)),
                           ((right, bottom, centre), (250, 200, 30)),
                           ((bottom, left, centre), (40, 120, 220)),
                           ((left, top, centre), (60, 180, 80))):
        c.polygon(list(points), fill=colour)
    c.line([top, bottom], (110, 80, 40), width=3)
    c.line([left, right], (110, 80, 40), width=3)
    c.polygon([top, right, bottom, left], outline=(60, 40, 20), width=2)
    tail = [(300 + 30 * math.sin(k * 0.8) - k * 6, 290 + k * 18) for k in range(9)]
    c.line(tail, (80, 60, 40), width=2)
    for k, (x, y) in enumerate(tail[1:], start=1):
        colour = ((230, 40, 50), (250, 200, 30), (40, 120, 220))[k % 3]
        c.polygon([(x - 9, y - 6), (x, y), (x - 9, y + 6)], fill=colour)
        c.polygon([(x + 9, y - 6), (x, y), (x + 9, y + 6)], fill=colour)
    c.line([centre, (140, 300), (40, 440)], (245, 245, 245), width=1.5)
    return c.finish()


def football():
    c = Canvas(600, 420)
    # A pitch mown in stripes, seen from low above.
    c.rectangle((0, 120, 600, 420), fill=(60, 150, 60))
    for k in range(0, 16, 2):
        c.polygon([(k * 50 - 200, 420), (k * 50 + 30, 120), (k * 50 + 80, 120),
                   (k * 50 - 150, 420)], fill=(75, 170, 70))
    c.vertical_gradient((0, 0, 600, 120), (120, 180, 240), (210, 230, 250))
    c.line([(0, 175), (600, 175)], (240, 240, 240), width=3)
    c.rectangle((150, 50, 450, 58), fill=(250, 250, 250))
    c.rectangle((150, 50, 158, 150), fill=(250, 250, 250))
    c.rectangle((442, 50, 450, 150), fill=(250, 250, 250))
    net, draw = c.overlay()
    for x in range(158, 442, 14):
        draw.line(c.points([(x, 58), (x, 150)]), fill=(255, 255, 255, 90), width=SCALE)
    for y in range(58, 150, 14):
        draw.line(c.points([(158, y), (442, y)]), fill=(255, 255, 255, 90), width=SCALE)
    c.merge(net)
    shadow, draw = c.overlay()
    draw.ellipse(c.box((230, 365, 400, 395)), fill=(0, 0, 0, 110))
    c.merge(shadow, blur=5)
    centre, radius = (300, 290), 95
    ball = Canvas(600, 420, background=(0, 0, 0, 0))
    ball.radial_gradient((centre[0] - 30, centre[1] - 35), (radius * 1.7, radius * 1.7),
                         (255, 255, 255), (170, 175, 185), steps=40)
    middle = regular_polygon(centre[0], centre[1], 30, 5, -math.pi / 2)
    ball.polygon(middle, fill=(25, 25, 30))
    for k in range(5):
        a = -math.pi / 2 + math.pi / 5 + 2 * math.pi * k / 5
        px, py = centre[0] + 82 * math.cos(a), centre[1] + 82 * math.sin(a)
        ball.polygon(regular_polygon(px, py, 27, 5, a + math.pi), fill=(25, 25, 30))
        seam = a - math.pi / 5
        ball.line([middle[k], (centre[0] + 60 * math.cos(seam), centre[1] + 60 * math.sin(seam))],
                  (60, 60, 70), width=2)
    ball.circle(centre, radius - 1, outline=(90, 95, 105), width=2)
    c.paste_in_ellipse(ball.image, (centre[0] - radius, centre[1] - radius,
                                    centre[0] + radius, centre[1] + radius))
    return c.finish()


def daisies():
    c = Canvas(600, 400)
    c.vertical_gradient((0, 0, 600, 400), (150, 210, 110), (40, 110, 40))
    rng = random.Random(5)
    for _ in range(260):
        x, y = rng.uniform(0, 600), rng.uniform(60, 400)
        h = rng.uniform(12, 30) * (0.5 + y / 400)
        c.line([(x, y), (x + rng.uniform(-6, 6), y - h)], mix((60, 140, 50), (110, 190, 80),
                                                              rng.random()), width=1.5)
    for cx, cy, r in ((300, 210, 80), (140, 130, 48), (470, 120, 52), (120, 320, 40),
                      (500, 320, 44)):
        c.line([(cx, cy + r * 0.3), (cx + 8, 400)], (70, 140, 50), width=max(2, r / 12))
        petals = 21
        for k in range(petals):
            a = 2 * math.pi * k / petals
            px, py = cx + r * 0.55 * math.cos(a), cy + r * 0.55 * math.sin(a)
            tip = mix((255, 255, 255), (255, 170, 200), 0.5 if k % 4 == 0 else 0.0)
            c.polygon(rotated_ellipse(px, py, r * 0.5, r * 0.12, a), fill=tip,
                      outline=(215, 215, 225), width=0.8)
        c.radial_gradient((cx - r * 0.06, cy - r * 0.06), (r * 0.28, r * 0.28),
                          (255, 235, 90), (225, 160, 10), steps=20)
    return c.finish()


# --- the puzzles -----------------------------------------------------------------------------

PUZZLES = [
    ("Wie heißt die Hauptstadt von Deutschland?",
     ["@3000Berlin"], None),
    ("Ergänze das Sprichwort: „Morgenstund hat …“",
     ["Gold|im|Mund", "@4000Gold im|Mund"], sunrise),
    ("Was zeigt Schiffen bei Nacht den Weg?",
     ["Leuchtturm", "@6000Leuchtfeuer", "Leucht-|turm"], lighthouse),
    ("Es hat zwei Räder, einen Lenker und Pedale und fährt ganz ohne Motor und Benzin – "
     "wie nennt man dieses Fahrzeug, mit dem viele Menschen zur Arbeit fahren?",
     ["Fahrrad", "@3000Drahtesel"], bicycle),
    ("Welcher Baum trägt diese roten Früchte?",
     ["Apfelbaum", "@7000Apfel|baum"], apple_tree),
    ("Wie nennt man ein Haus, in dem nur eine Familie wohnt?",
     ["Einfamilien|haus", "@8000Familien|haus"], house),
    ("Wie spät ist es?",
     ["Drei Uhr", "@6000Fünfzehn Uhr", "Es ist|genau|drei Uhr"], clock),
    ("Zu welchem Land gehört diese Flagge?",
     ["Deutschland", "@2500Bundesrepublik|Deutschland"], flag),
    ("Wer steht im Winter im Garten und friert nie?",
     ["Schneemann", "@5000Schnee-|mann"], snowman),
    ("Wer schwimmt hier im Aquarium?",
     ["Goldfisch", "@4000Gold-|fisch"], goldfish),
    ("Was lässt man im Herbst bei Wind steigen?",
     ["Drachen", "Flugdrachen"], kite),
    ("Welches Spiel spielt man mit diesem Ball?",
     ["Fußball", "@5000Fußball-|spiel"], football),
    ("Wie heißt diese kleine Blume auf der Wiese?",
     ["Gänseblümchen", "@9000Gänse-|blümchen"], daisies),
]


def write_puzzle(folder, question, answers, picture):
    folder.mkdir(parents=True, exist_ok=True)
    text = "\n".join([question] + answers) + "\n"
    (folder / "Game.txt").write_bytes(text.encode("cp1252"))
    target = folder / "Pic.png"
    if picture is None:
        if target.exists():
            target.unlink()
        return None
    image = picture()
    assert 400 <= image.width <= 700 and image.height <= 450, (folder, image.size)
    image.save(target)
    return image


def main():
    demo = ROOT / "demo"
    for number, (question, answers, picture) in enumerate(PUZZLES, start=1):
        for line in [question] + answers:
            assert len(line.encode("cp1252")) <= 255 and "\n" not in line
        for answer in answers:
            assert answer.count("|") <= 3
        folder = demo / ("Game%03d" % number)
        image = write_puzzle(folder, question, answers, picture)
        size = "%d x %d %s" % (image.width, image.height, image.mode) if image else "no picture"
        print("%s: %s (%s)" % (folder.name, answers[0], size))


if __name__ == "__main__":
    main()
