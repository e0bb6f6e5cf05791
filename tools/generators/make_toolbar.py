#!/usr/bin/python3
"""Draws the small pictures of the program's frame:

  res/TOOLBAR/128.png  the tool bar strip, eight 16 x 15 pictures side by side (128 x 15), in
                       the order of the bar's buttons: new puzzle, full screen, stay on top,
                       stop the first timer, stop the second timer, next puzzle, uncover the
                       text, about;
  res/BITMAP/139.png   the 16 x 14 open folder of the puzzle editor's browse button;
  res/ICON/128.png     the 64 x 64 program icon, a golden star with a question mark;
  desktop/icons/       the same icon in the desktop's usual sizes, quizmora-<size>.png.

The small pictures are pixel art, written out below one character per pixel, so that they stay
crisp at their size; '.' is transparent. The icon is drawn supersampled like the star pictures.
"""

from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

import make_stars

ROOT = Path(__file__).resolve().parents[2]

PALETTE = {
    ".": (0, 0, 0, 0),
    "k": (24, 24, 24, 255),        # outline
    "w": (255, 255, 255, 255),
    "g": (196, 196, 196, 255),
    "G": (128, 128, 128, 255),
    "n": (64, 192, 64, 255),        # green fill
    "l": (150, 235, 150, 255),      # green highlight
    "N": (0, 100, 0, 255),          # green outline
    "b": (40, 110, 220, 255),       # blue fill
    "c": (120, 175, 255, 255),      # blue highlight
    "B": (10, 50, 130, 255),        # blue outline
    "r": (225, 30, 30, 255),        # red fill
    "p": (255, 140, 140, 255),      # red highlight
    "R": (120, 0, 0, 255),          # red outline
    "y": (255, 222, 40, 255),       # yellow fill
    "h": (255, 245, 170, 255),      # yellow highlight
    "o": (222, 168, 40, 255),       # darker gold
    "Y": (130, 90, 0, 255),         # yellow outline
}

NEW_PUZZLE = [
    ".kkkkkkkk.......",
    ".kwwwwwwkk......",
    ".kwwwwwwkgk.....",
    ".kwwwwwwkkkk....",
    ".kwgggggwwwk....",
    ".kwwwwwwwwwk....",
    ".kwggggwwwwk....",
    ".kwwwwwwwNNNN...",
    ".kwgggwwwNlnN...",
    ".kwwwwwNNNlnNNN.",
    ".kwggggNlllllnN.",
    ".kwwwwwNnnnnnnN.",
    ".kwwwwwNNNlnNNN.",
    ".kkkkkkkkNnnN...",
    ".........NNNN...",
]

STAY_ON_TOP = [
    "................",
    ".....RRRRRR.....",
    ".....RpprrR.....",
    ".....RprrrR.....",
    ".....RprrrR.....",
    ".....RprrrR.....",
    "....RRprrrRR....",
    "...RpprrrrrrR...",
    "...RRRRRRRRRR...",
    ".......gG.......",
    ".......gG.......",
    ".......gG.......",
    ".......gG.......",
    "........G.......",
    "................",
]

# An octagonal sign in the stopped player's colour; the digit goes in the middle.
STOP_SIGN = [
    "................",
    ".....YYYYYY.....",
    "....YhhhhhhY....",
    "...YhyyyyyyyY...",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "..YhyyyyyyyyyY..",
    "...YyyyyyyyyY...",
    "....YyyyyyyY....",
    ".....YYYYYY.....",
    "................",
]

DIGIT_ONE = ["..k.", ".kk.", "k.k.", "..k.", "..k.", "..k.", ".kkk"]
DIGIT_TWO = [".kk.", "k..k", "...k", "..k.", ".k..", "k...", "kkkk"]

NEXT_PUZZLE = [
    "................",
    "....NN..........",
    "....NlN.........",
    "....NllN........",
    "....NlnnN.......",
    "....NlnnnN......",
    "....NlnnnnN.....",
    "....NlnnnnnN....",
    "....NlnnnnN.....",
    "....NlnnnN......",
    "....NlnnN.......",
    "....NlnN........",
    "....NnN.........",
    "....NN..........",
    "................",
]

UNCOVER = [
    "................",
    "................",
    "................",
    ".....kkkkkk.....",
    "...kkwwbbwwkk...",
    "..kwwwbbbbwwwk..",
    ".kwwwbbkkbbwwwk.",
    "kwwwwbbkkbbwwwwk",
    ".kwwwbbbbbbwwwk.",
    "..kwwwbbbbwwwk..",
    "...kkwwwwwwkk...",
    ".....kkkkkk.....",
    "................",
    "................",
    "................",
]

QUESTION_MARK = [
    "......",
    ".wwww.",
    "ww..ww",
    "....ww",
    "...ww.",
    "..ww..",
    "..ww..",
    "......",
    "..ww..",
    "..ww..",
]

OPEN_FOLDER = [
    "................",
    ".YYYY...........",
    "YooooY..........",
    "YooooYYYYYYY....",
    "YoooooooooooY...",
    "YooooYYYYYYYYYYY",
    "YoooYhhhhhhhhhhY",
    "YoooYyyyyyyyyyY.",
    "YooYhyyyyyyyyyY.",
    "YooYyyyyyyyyyY..",
    "YoYhyyyyyyyyyY..",
    "YoYyyyyyyyyyY...",
    "YYhyyyyyyyyyY...",
    "YYYYYYYYYYYYY...",
]


def from_rows(rows, width, height):
    assert len(rows) == height, (len(rows), rows)
    image = Image.new("RGBA", (width, height))
    for y, row in enumerate(rows):
        assert len(row) == width, (y, row)
        for x, key in enumerate(row):
            image.putpixel((x, y), PALETTE[key])
    return image


def full_screen():
    """Four arrows from the middle out to the corners."""
    image = Image.new("RGBA", (16, 15), PALETTE["."])
    blue = PALETTE["B"]

    def plot(x, y):
        for px, py in ((x, y), (15 - x, y), (x, 14 - y), (15 - x, 14 - y)):
            image.putpixel((px, py), blue)

    for y in range(5):                      # arrow head in the corner
        for x in range(5 - y):
            plot(1 + x, 1 + y)
    for k in range(3, 5):                   # two-pixel shaft towards the middle
        plot(1 + k, 1 + k)
        plot(2 + k, 1 + k)
    return image


def stop_sign(digit):
    image = from_rows(STOP_SIGN, 16, 15)
    image.alpha_composite(from_rows(digit, 4, 7), (6, 4))
    return image


def about():
    """A white question mark on a blue disc."""
    size, scale = (16, 15), 8
    big = Image.new("RGBA", (size[0] * scale, size[1] * scale), (0, 0, 0, 0))
    draw = ImageDraw.Draw(big)
    draw.ellipse((0.6 * scale, 0.1 * scale, 15.4 * scale, 14.9 * scale), fill=PALETTE["B"])
    draw.ellipse((1.6 * scale, 1.1 * scale, 14.4 * scale, 13.9 * scale), fill=PALETTE["b"])
    image = big.resize(size, Image.BOX)
    mark = from_rows(QUESTION_MARK, 6, 10)
    image.alpha_composite(mark, (5, 2))
    return image


def toolbar_strip():
    pictures = [
        from_rows(NEW_PUZZLE, 16, 15),
        full_screen(),
        from_rows(STAY_ON_TOP, 16, 15),
        stop_sign(DIGIT_ONE),
        stop_sign(DIGIT_TWO),
        from_rows(NEXT_PUZZLE, 16, 15),
        from_rows(UNCOVER, 16, 15),
        about(),
    ]
    strip = Image.new("RGBA", (16 * len(pictures), 15), (0, 0, 0, 0))
    for index, picture in enumerate(pictures):
        strip.paste(picture, (16 * index, 0))
    return strip


DESKTOP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def program_icon(size=64):
    star = make_stars.draw_star_supersampled(size, size)
    scale = make_stars.SUPERSAMPLE
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                              30 * scale * size // 64)
    draw = ImageDraw.Draw(star)
    centre = (size * scale / 2, size * scale * 0.56)
    draw.text(centre, "?", font=font, anchor="mm", fill=(60, 30, 0, 255),
              stroke_width=max(1, scale * size // 64), stroke_fill=(255, 240, 170, 255))
    return star.resize((size, size), Image.BOX)


def main():
    outputs = {
        ROOT / "res" / "TOOLBAR" / "128.png": toolbar_strip(),
        ROOT / "res" / "BITMAP" / "139.png": from_rows(OPEN_FOLDER, 16, 14),
        ROOT / "res" / "ICON" / "128.png": program_icon(),
    }
    for size in DESKTOP_ICON_SIZES:
        outputs[ROOT / "desktop" / "icons" / ("quizmora-%d.png" % size)] = program_icon(size)
    for path, image in outputs.items():
        assert image.mode == "RGBA"
        path.parent.mkdir(parents=True, exist_ok=True)
        image.save(path)
        print("%s: %d x %d" % (path.relative_to(ROOT), *image.size))


if __name__ == "__main__":
    main()
