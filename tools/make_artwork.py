#!/usr/bin/env python3
"""Draws the program's pictures into assets/: BASC (the main screen and every
panel image), MASKBMP (the transition tiles), CUR (three pointers) and MAIN
(the window icon). Reproducible: only Debian's fonts-dejavu-core is used.

    python3 tools/make_artwork.py       (needs python3-pil)

LAYOUT below is the one table of every rectangle the program copies from or
draws into; the program's own constants (game/, app/) are kept in step, and
tests/artwork_test.cpp checks each source rectangle holds drawn pixels.
"""
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(HERE, '..', 'assets')
FONTS = '/usr/share/fonts/truetype/dejavu/'


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


SANS_BOLD = 'DejaVuSans-Bold.ttf'
SANS = 'DejaVuSans.ttf'
MONO_BOLD = 'DejaVuSansMono-Bold.ttf'
SERIF_BOLD = 'DejaVuSerif-Bold.ttf'

# ---------------------------------------------------------------------------
# The layout: (left, top, right, bottom), right and bottom exclusive.

FONT_LETTERS = [0, 25, 47, 73, 98, 121, 142, 169, 193, 207, 229, 255, 274, 301, 325, 353, 374, 401, 423,
                443, 463, 487, 516, 552, 584, 614, 639]
FONT_DIGITS = [0, 26, 40, 65, 86, 108, 130, 151, 171, 192, 212]
FONT_MARKS = {':': (212, 299), ';': (299, 309), '<': (309, 335), '=': (335, 361), '>': (361, 386), '?': (386, 411)}

LAYOUT = {
    'title_panel': (15, 94, 625, 112),
    'lyric_bar': (15, 224, 625, 240),
    'timing_panel': (320, 120, 432, 160),
    'buttons': [(10 + 62 * n, 180, 72 + 62 * n, 210) for n in range(10)],
    'small_digit_bright': [(289 + 14 * d, 480, 303 + 14 * d, 500) for d in range(10)],
    'small_digit_dim': [(429 + 14 * d, 480, 443 + 14 * d, 500) for d in range(10)],
    'big_digit': [(289 + 28 * d, 500, 317 + 28 * d, 540) for d in range(10)],
    'verdict': [(289 + 112 * v, 540, 401 + 112 * v, 580) for v in range(3)],
    'white_upper': [(52 * s, 480, 52 * s + 52, 616) for s in range(4)],
    'white_lower': [(52 * s, 616, 52 * s + 52, 688) for s in range(4)],
    'black_key': [(208 + 20 * s, 480, 227 + 20 * s, 616) for s in range(4)],
    'font_letters': [(FONT_LETTERS[n], 688, FONT_LETTERS[n + 1], 718) for n in range(26)],
    'font_digits': [(FONT_DIGITS[n], 718, FONT_DIGITS[n + 1], 748) for n in range(10)],
    'font_marks': [(left, 718, right, 748) for left, right in FONT_MARKS.values()],
    'font_stop': (105, 748, 121, 778),
}
# Digit places on the screen (small digits 14 x 20, big 28 x 40).
MEASURE_DIGITS = (17, 140, 3)
BEAT_DIGITS = (77, 140, 2)
NUMERATOR_DIGITS = (137, 140, 2)
DENOMINATOR_DIGITS = (180, 140, 2)
TEMPO_DIGITS = (227, 140, 3)
SCORE_DIGITS = (480, 120, 3)
SCORE_TENTHS = (580, 120, 1)
PIANO_TOP, PIANO_SPLIT, PIANO_BOTTOM = 264, 400, 472
WHITE_SHAPES = [0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 0, 2]          # by white column
BLACK_COLUMNS = [0, 1, 3, 4, 5, 7, 8, 10]                      # white column left of each black key

# ---------------------------------------------------------------------------
# Colours.

BACKGROUND_TOP = (18, 24, 42)
BACKGROUND_BOTTOM = (30, 38, 62)
PANEL = (24, 31, 52)
PANEL_EDGE = (70, 86, 124)
LABEL = (132, 200, 255)
SILVER = (192, 192, 192)
AMBER = (255, 190, 70)
AMBER_DIM = (86, 66, 34)
BIG_DIGIT = (255, 236, 200)
BUTTON_FACE = (196, 200, 212)
BUTTON_TEXT = (28, 36, 60)
IVORY = (246, 243, 234)
IVORY_SHADE = (214, 208, 194)
KEY_GAP = (40, 40, 46)
EBONY = (26, 26, 30)
EBONY_SHINE = (78, 78, 88)
LIT = (255, 178, 64)
LIT_LIGHT = (255, 214, 140)
LIT_EBONY = (214, 128, 20)
MARK = (150, 30, 30)
VERDICT_COLOURS = [(96, 240, 140), (255, 120, 84), (92, 196, 255)]
FONT_TOP = (255, 255, 255)
FONT_BOTTOM = (255, 200, 96)


def vertical_gradient(image, box, top, bottom):
    draw = ImageDraw.Draw(image)
    left, upper, right, lower = box
    for y in range(upper, lower):
        t = (y - upper) / max(1, lower - upper - 1)
        draw.line([(left, y), (right - 1, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))


def centred_text(draw, box, text, face, fill):
    left, top, right, bottom = box
    l, t, r, b = draw.textbbox((0, 0), text, font=face)
    draw.text((left + (right - left - (r - l)) // 2 - l, top + (bottom - top - (b - t)) // 2 - t), text, font=face, fill=fill)


def panel(draw, box):
    left, top, right, bottom = box
    draw.rounded_rectangle([left, top, right - 1, bottom - 1], radius=5, fill=PANEL, outline=PANEL_EDGE, width=1)


def inset_silver(draw, box):
    left, top, right, bottom = box
    draw.rectangle([left - 2, top - 2, right + 1, bottom + 1], fill=PANEL_EDGE)
    draw.rectangle([left, top, right - 1, bottom - 1], fill=SILVER)


def raised_button(draw, box, label, face):
    """As elDraw::Bevel style 0 draws it: 3 white lines top-left, 3 grey bottom-right."""
    left, top, right, bottom = box
    draw.rectangle([left, top, right - 1, bottom - 1], fill=BUTTON_FACE)
    r, b = right - 1, bottom - 1
    for i in range(3):
        draw.line([(left, top + i), (r - i - 1, top + i)], fill=(255, 255, 255))
        draw.line([(left + i, b - i), (r - 1, b - i)], fill=(127, 127, 127))
        draw.line([(left + i, top), (left + i, b - i - 1)], fill=(255, 255, 255))
        draw.line([(r - i, top + i), (r - i, b - 1)], fill=(127, 127, 127))
    if label == 'STOP':
        cx, cy = (left + right) // 2, (top + bottom) // 2
        draw.rectangle([cx - 6, cy - 6, cx + 5, cy + 5], fill=BUTTON_TEXT)
    elif label:
        centred_text(draw, (left + 3, top + 3, right - 3, bottom - 3), label, face, BUTTON_TEXT)


def digit_image(size, digit, colour, background):
    w, h = size
    image = Image.new('RGB', size, background)
    draw = ImageDraw.Draw(image)
    face = font(MONO_BOLD, 19 if h == 20 else 38)
    centred_text(draw, (0, 0, w, h), str(digit), face, colour)
    return image


def white_key(look, lower):
    """A white key's upper (52 x 136) or lower (52 x 72) part in one look."""
    h = 72 if lower else 136
    image = Image.new('RGB', (52, h), KEY_GAP)
    lit = look != 0
    vertical_gradient(image, (0, 0, 51, h), LIT_LIGHT if lit else IVORY, LIT if lit else IVORY_SHADE if lower else IVORY)
    draw = ImageDraw.Draw(image)
    if lower:
        draw.line([(0, h - 3), (50, h - 3)], fill=(170, 160, 140) if not lit else (200, 120, 30))
        draw.line([(0, h - 2), (50, h - 2)], fill=(120, 112, 98) if not lit else (160, 90, 20))
        draw.line([(0, h - 1), (50, h - 1)], fill=KEY_GAP)
        arrow(draw, look, 25, 34)
    return image


def arrow(draw, look, cx, cy):
    """Look 2: the note is an octave below the key shown; look 3: above."""
    if look == 2:
        draw.polygon([(cx - 9, cy - 6), (cx + 9, cy - 6), (cx, cy + 8)], fill=MARK)
        draw.line([(cx - 9, cy + 11), (cx + 9, cy + 11)], fill=MARK, width=2)
    elif look == 3:
        draw.polygon([(cx - 9, cy + 6), (cx + 9, cy + 6), (cx, cy - 8)], fill=MARK)
        draw.line([(cx - 9, cy - 11), (cx + 9, cy - 11)], fill=MARK, width=2)


def black_key(look):
    image = Image.new('RGB', (19, 136), KEY_GAP)
    lit = look != 0
    body = LIT_EBONY if lit else EBONY
    draw = ImageDraw.Draw(image)
    draw.rectangle([1, 0, 17, 133], fill=body)
    draw.rectangle([3, 0, 15, 124], fill=tuple(min(255, c + 22) for c in body))
    draw.line([(4, 2), (4, 120)], fill=LIT_LIGHT if lit else EBONY_SHINE)
    draw.rectangle([3, 125, 15, 133], fill=tuple(max(0, c - 12) for c in body))
    if look in (2, 3):
        cy = 100
        colour = (255, 255, 255)
        if look == 2:
            draw.polygon([(4, cy - 5), (14, cy - 5), (9, cy + 5)], fill=colour)
        else:
            draw.polygon([(4, cy + 5), (14, cy + 5), (9, cy - 5)], fill=colour)
    return image


def glyph(image, box, text, face_name):
    """A bright glyph on black inside exactly its box (30 pixels high): one
    type size for every glyph, narrowed where a box is narrower than it."""
    left, top, right, bottom = box
    w, h = right - left, bottom - top
    face = font(face_name, 28)
    l, t, r, b = face.getbbox(text)
    mask = Image.new('L', (r - l + 2, h), 0)
    ImageDraw.Draw(mask).text((1 - l, (h - (b - t)) // 2 - t), text, font=face, fill=255)
    if mask.width > w - 2:
        mask = mask.resize((w - 2, h), Image.LANCZOS)
    fill = Image.new('RGB', mask.size)
    vertical_gradient(fill, (0, 0, mask.width, h), FONT_TOP, FONT_BOTTOM)
    image.paste(fill, (left + (w - mask.width) // 2, top), mask)


def main_screen(image):
    draw = ImageDraw.Draw(image)
    vertical_gradient(image, (0, 0, 640, 480), BACKGROUND_TOP, BACKGROUND_BOTTOM)
    # Header: the name and a staff with a few notes.
    for i in range(5):
        draw.line([(300, 28 + 9 * i), (628, 28 + 9 * i)], fill=(52, 64, 96))
    for x, step in ((340, 3), (380, 1), (420, 4), (460, 2), (500, 5), (540, 3), (580, 6)):
        y = 28 + 9 * 4 - step * 4
        draw.ellipse([x - 6, y - 4, x + 6, y + 4], fill=(110, 130, 180))
        draw.line([(x + 5, y), (x + 5, y - 26)], fill=(110, 130, 180), width=2)
    draw.text((18, 14), 'Tonquill', font=font(SERIF_BOLD, 44), fill=AMBER)
    draw.text((22, 66), 'KEYBOARD PRACTICE WITH MIDI', font=font(SANS, 11), fill=LABEL)

    inset_silver(draw, LAYOUT['title_panel'])
    inset_silver(draw, LAYOUT['lyric_bar'])

    small_label = font(SANS_BOLD, 10)
    dim = Image.new('RGB', (14, 20))
    # Counters: measure and beat, signature, tempo; their digits shown dim.
    for box, caption in (((10, 118, 112, 166), 'MEAS      BEAT'), ((128, 118, 216, 166), 'SIGN'),
                         ((220, 118, 276, 166), 'TEMPO')):
        panel(draw, box)
        draw.text((box[0] + 7, box[1] + 4), caption, font=small_label, fill=LABEL)
    for x, y, count in (MEASURE_DIGITS, BEAT_DIGITS, NUMERATOR_DIGITS, DENOMINATOR_DIGITS, TEMPO_DIGITS):
        for i in range(count):
            image.paste(digit_image((14, 20), 1 if (x, i) in ((77, 1),) else 0, AMBER_DIM, PANEL), (x + 14 * i, y))
    draw.text((167, 139), '/', font=font(MONO_BOLD, 18), fill=AMBER_DIM)
    # Timing panel and score.
    timing = LAYOUT['timing_panel']
    panel(draw, (timing[0] - 6, timing[1] - 4, timing[2] + 6, timing[3] + 14))
    draw.rectangle([timing[0], timing[1], timing[2] - 1, timing[3] - 1], fill=PANEL)
    draw.text((timing[0] + 34, timing[3] + 1), 'TIMING', font=small_label, fill=LABEL)
    panel(draw, (470, 116, 626, 174))
    for i in range(3):
        image.paste(digit_image((28, 40), 0, BIG_DIGIT, PANEL), (480 + 28 * i, 120))
    image.paste(digit_image((28, 40), 0, BIG_DIGIT, PANEL), (580, 120))
    draw.rectangle([570, 154, 574, 158], fill=BIG_DIGIT)
    draw.text((484, 161), 'SCORE', font=small_label, fill=LABEL)
    draw.text((606, 161), '%', font=small_label, fill=LABEL)

    labels = ['FILE', 'STOP', 'GAME', 'TRAINING', 'DEMO', '', '', '', 'RANK', 'EXIT']
    for box, label in zip(LAYOUT['buttons'], labels):
        raised_button(draw, box, label, font(SANS_BOLD, 9 if label == 'TRAINING' else 11))

    # The piano, every key up.
    draw.rectangle([4, PIANO_TOP - 4, 635, PIANO_BOTTOM + 3], fill=(10, 12, 20))
    for w in range(12):
        x = 8 + 52 * w
        image.paste(white_key(0, False), (x, PIANO_TOP))
        image.paste(white_key(0, True), (x, PIANO_SPLIT))
    for w in BLACK_COLUMNS:
        image.paste(black_key(0), (8 + 52 * w + 42, PIANO_TOP))


def artwork():
    image = Image.new('RGB', (640, 787), (0, 0, 0))
    main_screen(image)
    for d in range(10):
        image.paste(digit_image((14, 20), d, AMBER, PANEL), LAYOUT['small_digit_bright'][d][:2])
        image.paste(digit_image((14, 20), d, AMBER_DIM, PANEL), LAYOUT['small_digit_dim'][d][:2])
        image.paste(digit_image((28, 40), d, BIG_DIGIT, PANEL), LAYOUT['big_digit'][d][:2])
    for v, word in enumerate(('Good', 'LATE', 'FAST')):
        box = LAYOUT['verdict'][v]
        tile = Image.new('RGB', (112, 40), PANEL)
        centred_text(ImageDraw.Draw(tile), (0, 0, 112, 40), word, font(SANS_BOLD, 30), VERDICT_COLOURS[v])
        image.paste(tile, box[:2])
    for s in range(4):
        image.paste(white_key(s, False), LAYOUT['white_upper'][s][:2])
        image.paste(white_key(s, True), LAYOUT['white_lower'][s][:2])
        image.paste(black_key(s), LAYOUT['black_key'][s][:2])
    for n, box in enumerate(LAYOUT['font_letters']):
        glyph(image, box, chr(ord('A') + n), SANS_BOLD)
    for n, box in enumerate(LAYOUT['font_digits']):
        glyph(image, box, str(n), SANS_BOLD)
    for mark, box in zip(FONT_MARKS, LAYOUT['font_marks']):
        glyph(image, box, mark, SANS_BOLD)
    glyph(image, LAYOUT['font_stop'], '.', SANS_BOLD)
    return image


def transition_tiles():
    """Ten 64 x 48 frames: a near-black diamond grows from the tile's centre,
    from 48 pixels in frame 0 to the whole tile in frame 9."""
    image = Image.new('RGB', (640, 48), (0, 0, 0))
    order = sorted(((abs(x - 31.5) / 32 + abs(y - 23.5) / 24, y, x) for y in range(48) for x in range(64)))
    for k in range(10):
        covered = 48 + round((64 * 48 - 48) * (k / 9) ** 1.5)
        for _, y, x in order[:covered]:
            image.putpixel((64 * k + x, y), (10, 10, 10))
    return image


def pointers():
    image = Image.new('RGB', (96, 32), (0, 0, 0))
    draw = ImageDraw.Draw(image)
    outline, fill = (20, 20, 20), (250, 250, 250)
    arrow_shape = [(2, 2), (2, 24), (8, 18), (13, 29), (17, 27), (12, 17), (20, 17)]
    draw.polygon(arrow_shape, fill=fill, outline=(90, 90, 90))
    hand = [(40, 4), (44, 4), (44, 14), (52, 14), (56, 18), (56, 28), (42, 28), (36, 20), (40, 18)]
    draw.polygon(hand, fill=fill, outline=(90, 90, 90))
    draw.polygon([(70, 4), (90, 4), (82, 16), (90, 28), (70, 28), (78, 16)], fill=AMBER, outline=outline)
    return image


def icon():
    image = Image.new('RGB', (32, 32), BACKGROUND_TOP)
    draw = ImageDraw.Draw(image)
    draw.ellipse([5, 19, 15, 27], fill=AMBER)
    draw.line([(14, 23), (14, 4)], fill=AMBER, width=2)
    draw.polygon([(14, 4), (28, 2), (20, 12), (14, 10)], fill=IVORY)
    return image


if __name__ == '__main__':
    os.makedirs(ASSETS, exist_ok=True)
    artwork().save(os.path.join(ASSETS, 'BASC.bmp'))
    transition_tiles().save(os.path.join(ASSETS, 'MASKBMP.bmp'))
    pointers().save(os.path.join(ASSETS, 'CUR.bmp'))
    icon().save(os.path.join(ASSETS, 'MAIN.bmp'))
