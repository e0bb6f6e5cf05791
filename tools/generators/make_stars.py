#!/usr/bin/python3
"""Draws the star pictures res/BITMAP/149.png, 150.png and 151.png (100 x 95, 75 x 71, 50 x 47).

A golden five-pointed star with faceted, lit points, a subtle top-to-bottom gradient and a darker
rim, drawn eight times larger and box-filtered down so that its edges are anti-aliased. The
pictures are 8-bit RGBA; everything outside the star is fully transparent, since the game blends
the star onto a black, yellow or red column.
"""

import math
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter

ROOT = Path(__file__).resolve().parents[2]
SUPERSAMPLE = 8
SIZES = {149: (100, 95), 150: (75, 71), 151: (50, 47)}

INNER_RATIO = 0.41          # a little fuller than the regular star (0.382)
LIGHT = (-0.55, -0.83)      # light from the upper left, screen coordinates (y down)

FACE_TOP = (255, 226, 92)
FACE_BOTTOM = (236, 168, 16)
RIM_TOP = (168, 106, 0)
RIM_BOTTOM = (112, 62, 0)


def star_vertices(cx, cy, outer, inner):
    """Ten vertices, starting at the top point, clockwise on screen."""
    points = []
    for k in range(10):
        radius = outer if k % 2 == 0 else inner
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def inset_polygon(points, distance):
    """The polygon whose edges lie `distance` inside the edges of a clockwise polygon."""
    count = len(points)
    lines = []
    for i in range(count):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % count]
        dx, dy = x2 - x1, y2 - y1
        length = math.hypot(dx, dy)
        # Clockwise on screen (y down): the inside is to the right of each edge.
        nx, ny = -dy / length, dx / length
        lines.append(((x1 + nx * distance, y1 + ny * distance), (dx, dy)))
    result = []
    for i in range(count):
        (p, d), (q, e) = lines[i - 1], lines[i]
        denominator = d[0] * e[1] - d[1] * e[0]
        t = ((q[0] - p[0]) * e[1] - (q[1] - p[1]) * e[0]) / denominator
        result.append((p[0] + t * d[0], p[1] + t * d[1]))
    return result


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def shade(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


def vertical_blend(top_image, bottom_image, height_fraction_top, height_fraction_bottom):
    """Blends two images from top to bottom between the two height fractions."""
    width, height = top_image.size
    ramp = Image.linear_gradient("L").resize((1, 256))
    start = round(height_fraction_top * height)
    end = round(height_fraction_bottom * height)
    mask = Image.new("L", (width, height), 0)
    mask.paste(255, (0, end, width, height))
    mask.paste(ramp.resize((width, max(1, end - start))), (0, start))
    return Image.composite(bottom_image, top_image, mask)


def facet_layer(size, centre, vertices, face_colour):
    """Each of the ten facets lit by the angle between its outward normal and the light."""
    image = Image.new("RGB", size, face_colour)
    draw = ImageDraw.Draw(image)
    count = len(vertices)
    for i in range(count):
        a, b = vertices[i], vertices[(i + 1) % count]
        ex, ey = b[0] - a[0], b[1] - a[1]
        length = math.hypot(ex, ey)
        nx, ny = ey / length, -ex / length   # outward normal of the facet's outer edge
        lit = nx * LIGHT[0] + ny * LIGHT[1]
        draw.polygon([centre, a, b], fill=shade(face_colour, 1.0 + 0.16 * lit))
    return image


def draw_star_supersampled(width, height):
    """The star at SUPERSAMPLE times the size, RGBA, for callers that draw on it first."""
    s = SUPERSAMPLE
    big = (width * s, height * s)
    margin = 0.6 * s
    # The regular star's box is 2 R sin 72 wide and R (1 + cos 36) high.
    outer = min((big[0] - 2 * margin) / (2 * math.sin(math.radians(72))),
                (big[1] - 2 * margin) / (1 + math.cos(math.radians(36))))
    star_height = outer * (1 + math.cos(math.radians(36)))
    cx = big[0] / 2
    cy = (big[1] - star_height) / 2 + outer
    vertices = star_vertices(cx, cy, outer, outer * INNER_RATIO)
    rim = max(1.1, width / 38) * s
    face = inset_polygon(vertices, rim)

    top = Image.new("RGB", big, RIM_TOP)
    bottom = Image.new("RGB", big, RIM_BOTTOM)
    for layer, colour in ((top, FACE_TOP), (bottom, FACE_BOTTOM)):
        facets = facet_layer(big, (cx, cy), face, colour)
        mask = Image.new("L", big, 0)
        ImageDraw.Draw(mask).polygon(face, fill=255)
        layer.paste(facets, (0, 0), mask)
    picture = vertical_blend(top, bottom, 0.15, 0.95)

    # A soft glint on the upper left point.
    glint = Image.new("L", big, 0)
    gx, gy = cx - outer * 0.28, cy - outer * 0.30
    radius = outer * 0.22
    ImageDraw.Draw(glint).ellipse((gx - radius, gy - radius * 0.7, gx + radius, gy + radius * 0.7),
                                  fill=110)
    glint = glint.filter(ImageFilter.GaussianBlur(radius * 0.6))
    picture = Image.composite(Image.new("RGB", big, (255, 250, 215)), picture, glint)

    alpha = Image.new("L", big, 0)
    ImageDraw.Draw(alpha).polygon(vertices, fill=255)
    picture = picture.convert("RGBA")
    picture.putalpha(alpha)
    return picture


def draw_star(width, height):
    picture = draw_star_supersampled(width, height)
    # Pillow resamples RGBA premultiplied, so the transparent surroundings add no dark fringe.
    return picture.resize((width, height), Image.BOX)


def main():
    out_dir = ROOT / "res" / "BITMAP"
    out_dir.mkdir(parents=True, exist_ok=True)
    for number, (width, height) in SIZES.items():
        star = draw_star(width, height)
        assert star.mode == "RGBA" and star.size == (width, height)
        star.save(out_dir / ("%d.png" % number))
        print("%d.png: %d x %d" % (number, width, height))


if __name__ == "__main__":
    main()
