"""Chrome of the home window: title strip, frame, buttons, menu, arrows,
search and address fields, engine popup and engine logos (GIF, art/main/).

Sizes are the control sizes of the home window. Where a piece lies on
another piece we drew (buttons on the title strip, entries in the menu box),
its soft edges are blended over that piece; elsewhere (over the skin) the
edges are cut at half coverage, so no halo shows on any skin."""
from PIL import Image, ImageChops, ImageDraw

from .fonts import cjk
from .gif import save_gifs
from .raster import Canvas, hex_rgb, mix

ACCENT = hex_rgb("#2B7BE4")
ACCENT_DARK = hex_rgb("#1F63C6")
ACCENT_PALE = hex_rgb("#E6F0FD")
STRIP_TOP = hex_rgb("#222E43")
STRIP_BOTTOM = hex_rgb("#1A2334")
STRIP_LINE = hex_rgb("#33425C")
FRAME = hex_rgb("#141B28")
INK = hex_rgb("#2A3445")
MUTED = hex_rgb("#7A8699")
FIELD_BORDER = hex_rgb("#C3CEDD")
CARD_BORDER = hex_rgb("#D3DBE6")
PILL = hex_rgb("#33415A")
PILL_RIM = hex_rgb("#4A5A76")
CLOSE_RED = hex_rgb("#E5484D")
GLYPH = hex_rgb("#E4EAF3")

WHITE = (255, 255, 255)
WINDOW = (900, 600)
STRIP_AT = (1, 1)

# Engines: (file stem, choice text, badge character, badge colour).
ENGINES = [
    ("baidu", "百度", "百", hex_rgb("#3B6FE0")),
    ("sogou", "搜狗", "搜", hex_rgb("#E4533A")),
    ("taobao", "淘宝", "淘", hex_rgb("#F0862A")),
]


def rgba(colour, alpha=255):
    return tuple(colour) + (alpha,)


def solid(size, colour):
    return Image.new("RGBA", size, rgba(colour))


# --- pieces -----------------------------------------------------------------

def title_strip():
    c = Canvas(898, 40)
    c.vertical_gradient((0, 0, 898, 39), STRIP_TOP, STRIP_BOTTOM)
    c.rect((0, 39, 898, 40), rgba(STRIP_LINE))
    c.text((72, 19.5), "Velk", lambda s: cjk("bold", 17 * s), rgba(WHITE))
    return c.result()


def window_frame():
    image = Image.new("RGBA", WINDOW, (0, 0, 0, 0))
    w, h = WINDOW
    ring = solid((w, 1), FRAME)
    image.paste(ring, (0, 0))
    image.paste(ring, (0, h - 1))
    side = solid((1, h), FRAME)
    image.paste(side, (0, 0))
    image.paste(side, (w - 1, 0))
    return image


def window_backdrop():
    """What lies behind pieces of the title bar: the frame and the strip."""
    backdrop = window_frame()
    backdrop.paste(title_strip(), STRIP_AT)
    return backdrop


def draw_emblem(c, box):
    """The product emblem, a white "V" in a blue disc, filling `box`
    (a square, given in target pixels)."""
    x0, y0, x1, y1 = box
    d = x1 - x0
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    clip = c.layer()
    ImageDraw.Draw(clip).ellipse([v * 4 for v in box], fill=(255, 255, 255, 255))
    c.vertical_gradient(box, hex_rgb("#4C97F5"), ACCENT_DARK, clip=clip)
    c.ellipse(box, outline=rgba(WHITE), width=1, opacity=0.25)
    arm, tip = 7.5 / 32 * d, 8 / 32 * d
    c.polyline([(cx - arm, cy - arm), (cx, cy + tip), (cx + arm, cy - arm)],
               rgba(WHITE), 3.4 / 32 * d)


def product_logo():
    c = Canvas(40, 40)
    draw_emblem(c, (4, 5, 36, 37))
    return c.result()


def _chrome_button(size, fill_x, glyph, hover, hover_colour):
    """A title bar button: glyph centred on the strip part (rows 0..39),
    a flat fill over the strip when pointed at; rows below stay clear."""
    w, h = size
    c = Canvas(w, h)
    if hover:
        c.rect((fill_x[0], 0, fill_x[1], 40), rgba(hover_colour))
    # The glyph gets a canvas of its own: the skin glyph cuts its neck out.
    shape = Canvas(w, h)
    glyph(shape, rgba(WHITE if hover else GLYPH))
    c.paste(shape.image)
    return c.result()


def _menu_glyph(c, colour):
    for y in (14, 20, 26):
        c.polyline([(14, y), (28, y)], colour, 2)


def _skin_glyph(c, colour):
    # A T-shirt: shoulders, sleeves and body, with a round neck.
    x, y = 21.5, 20
    points = [(x - 4, y - 8), (x - 10, y - 5), (x - 8, y), (x - 6, y - 1.5),
              (x - 6, y + 8), (x + 6, y + 8), (x + 6, y - 1.5), (x + 8, y),
              (x + 10, y - 5), (x + 4, y - 8)]
    c.polygon(points, colour)
    neck = c.layer()
    ImageDraw.Draw(neck).ellipse([(x - 3.6) * 4, (y - 11.5) * 4, (x + 3.6) * 4, (y - 4.8) * 4],
                                 fill=(255, 255, 255, 255))
    _erase(c, neck)


def _erase(c, mask_layer):
    alpha = ImageChops.subtract(c.image.getchannel("A"), mask_layer.getchannel("A"))
    c.image.putalpha(alpha)


def _float_glyph(c, colour):
    # A window shrinking into a bar docked at the screen edge.
    c.rounded((12, 13, 26, 27), 2, outline=colour, width=1.6)
    c.polyline([(17, 17), (20.5, 20), (17, 23)], colour, 1.6)
    c.rounded((28.5, 11.5, 31.5, 28.5), 1.2, fill=colour)


def _close_glyph(c, colour):
    x, y, r = 22.5, 20, 6
    c.polyline([(x - r, y - r), (x + r, y + r)], colour, 2)
    c.polyline([(x - r, y + r), (x + r, y - r)], colour, 2)


HOVER_FILL = mix(STRIP_TOP, WHITE, 0.14)

TITLE_BUTTONS = [
    # (stem, control place, size, hover fill columns, glyph, hover colour)
    ("menu", (730, 1), (42, 40), (0, 42), _menu_glyph, HOVER_FILL),
    ("skin", (772, 1), (43, 51), (0, 43), _skin_glyph, HOVER_FILL),
    ("float", (815, 1), (45, 51), (0, 42), _float_glyph, HOVER_FILL),
    ("close", (857, 1), (48, 46), (3, 42), _close_glyph, CLOSE_RED),
]


def _text_button(size, text, size_px, hover, fill_box, weight="regular",
                 normal_ink=INK, centre_y=None):
    w, h = size
    c = Canvas(w, h)
    if hover:
        c.rounded(fill_box, 4, fill=rgba(ACCENT))
    cy = centre_y if centre_y is not None else h / 2
    c.text((w / 2, cy), text, lambda s: cjk(weight, size_px * s),
           rgba(WHITE if hover else normal_ink))
    return c.result()


def menu_box():
    c = Canvas(100, 88)
    # A notch pointing up at the menu button above.
    c.polygon([(14, 6.5), (21, 0), (28, 6.5)], rgba(CARD_BORDER))
    c.rounded((0, 6, 100, 88), 6, fill=rgba(CARD_BORDER))
    c.polygon([(15.3, 7.5), (21, 1.5), (26.7, 7.5)], rgba(WHITE))
    c.rounded((1, 7, 99, 87), 5, fill=rgba(WHITE))
    return c.result()


MENU_ENTRIES = [("feedback", "意见反馈", (2, 11)), ("about", "关于Velk", (2, 32)),
                ("update", "检测新版", (2, 53))]


def menu_entry(text, hover):
    return _text_button((96, 20), text, 12, hover, (4, 1, 92, 19))


def arrow(direction, hover):
    c = Canvas(40, 75)
    body = ACCENT if hover else PILL
    rim = ACCENT_DARK if hover else PILL_RIM
    c.rounded((4, 4, 36, 71), 16, fill=rgba(rim))
    c.rounded((5, 5, 35, 70), 15, fill=rgba(body))
    if direction == "left":
        points = [(23, 28.5), (16, 37.5), (23, 46.5)]
    else:
        points = [(17, 28.5), (24, 37.5), (17, 46.5)]
    c.polyline(points, rgba(WHITE), 3)
    return c.result()


INNER = (3, 3, 497, 29)  # where the edit boxes sit: plain white


def field_frame(width=500):
    """A rounded white field 32 high; x 3..width-4, y 3..28 plain white."""
    c = Canvas(width, 32)
    c.rounded((0, 0, width, 32), 6, fill=rgba(FIELD_BORDER))
    c.rounded((1, 1, width - 1, 31), 5, fill=rgba(WHITE))
    image = c.result()
    inner = (INNER[0], INNER[1], width - 3, INNER[3])
    image.paste(solid((inner[2] - inner[0], inner[3] - inner[1]), WHITE), inner[:2])
    return image


def go_button(hover):
    c = Canvas(30, 26)
    if hover:
        c.ellipse((3, 1, 27, 25), fill=rgba(ACCENT_PALE))
    ink = rgba(ACCENT_DARK if hover else ACCENT)
    c.polyline([(8.5, 13), (21, 13)], ink, 2)
    c.polyline([(16, 8), (21.5, 13), (16, 18)], ink, 2)
    return c.result()


def search_button(hover):
    c = Canvas(26, 26)
    c.rounded((1, 1, 25, 25), 5, fill=rgba(ACCENT_DARK if hover else ACCENT))
    c.ellipse((6.5, 6.5, 16.5, 16.5), outline=rgba(WHITE), width=2)
    c.polyline([(15.2, 15.2), (19.5, 19.5)], rgba(WHITE), 2.2)
    return c.result()


def engine_drop(hover):
    c = Canvas(24, 26)
    c.polygon([(7, 11), (15, 11), (11, 16)], rgba(ACCENT if hover else MUTED))
    c.rect((23, 6, 24, 20), rgba(hex_rgb("#E1E6EE")))
    return c.result()


def engine_popup():
    c = Canvas(50, 107)
    c.polygon([(7, 5.5), (13, 0), (19, 5.5)], rgba(CARD_BORDER))
    c.rounded((0, 5, 50, 107), 5, fill=rgba(CARD_BORDER))
    c.polygon([(8.3, 6.5), (13, 1.5), (17.7, 6.5)], rgba(WHITE))
    c.rounded((1, 6, 49, 106), 4, fill=rgba(WHITE))
    # A hairline above the collapse button.
    c.rect((8, 86, 42, 87), rgba(hex_rgb("#E6EBF2")))
    return c.result()


ENGINE_BUTTONS = [("baidu", (1, 12)), ("sogou", (1, 39)), ("taobao", (1, 66))]


def engine_choice(text, hover):
    # 20 rows of fill, so the lowest choice stays clear of the collapse button.
    return _text_button((48, 25), text, 12, hover, (3, 1, 45, 20), centre_y=10.5)


def engine_collapse(hover):
    c = Canvas(48, 20)
    ink = rgba(ACCENT if hover else MUTED)
    c.text((21, 10.5), "收回", lambda s: cjk("regular", 11 * s), ink)
    c.polyline([(33, 12), (36, 9), (39, 12)], ink, 1.3)
    return c.result()


def engine_small(char, colour):
    c = Canvas(26, 26, fill=rgba(WHITE))
    c.ellipse((2, 2, 24, 24), fill=rgba(colour))
    c.text((13, 12.6), char, lambda s: cjk("bold", 13 * s), rgba(WHITE))
    return c.result()


def engine_wide(char, name, colour):
    c = Canvas(80, 30)
    c.rounded((0, 0, 80, 30), 15, fill=rgba(CARD_BORDER))
    c.rounded((1, 1, 79, 29), 14, fill=rgba(WHITE))
    c.ellipse((4, 4, 26, 26), fill=rgba(colour))
    c.text((15, 14.6), char, lambda s: cjk("bold", 13 * s), rgba(WHITE))
    c.text((51, 14.6), name, lambda s: cjk("bold", 14 * s), rgba(INK))
    return c.result()


# --- output -----------------------------------------------------------------

def _crop(image, place, size):
    x, y = place
    return image.crop((x, y, x + size[0], y + size[1]))


def build():
    """All pieces: {file name: (RGBA image, backdrop or None)}."""
    pieces = {}
    backdrop = window_backdrop()
    pieces["title_strip.gif"] = (title_strip(), None)
    pieces["window_frame.gif"] = (window_frame(), None)
    pieces["logo.gif"] = (product_logo(), _crop(backdrop, (9, 0), (40, 40)))
    for stem, place, size, fill_x, glyph, hover_colour in TITLE_BUTTONS:
        behind = _crop(backdrop, place, size)
        for state in ("normal", "hover"):
            image = _chrome_button(size, fill_x, glyph, state == "hover", hover_colour)
            pieces[f"{stem}_{state}.gif"] = (image, behind)

    box = menu_box()
    pieces["menu_box.gif"] = (box, None)
    for stem, text, place in MENU_ENTRIES:
        for state in ("normal", "hover"):
            pieces[f"menu_{stem}_{state}.gif"] = (
                menu_entry(text, state == "hover"), _crop(box, place, (96, 20)))

    for direction in ("left", "right"):
        for state in ("normal", "hover"):
            pieces[f"arrow_{direction}_{state}.gif"] = (arrow(direction, state == "hover"), None)

    frame = field_frame()
    pieces["search_frame.gif"] = (frame, None)
    # The address field lies on the title strip at (96, 4) inside it.
    pieces["address_frame.gif"] = (frame, _crop(backdrop, (97, 5), (500, 32)))
    white_behind = solid((30, 26), WHITE)
    for state in ("normal", "hover"):
        hover = state == "hover"
        pieces[f"go_{state}.gif"] = (go_button(hover), white_behind)
        pieces[f"search_{state}.gif"] = (search_button(hover), white_behind.crop((0, 0, 26, 26)))
        pieces[f"engine_drop_{state}.gif"] = (engine_drop(hover), white_behind.crop((0, 0, 24, 26)))

    popup = engine_popup()
    pieces["engine_popup.gif"] = (popup, None)
    for (stem, place), (_, text, _, _) in zip(ENGINE_BUTTONS, ENGINES):
        for state in ("normal", "hover"):
            pieces[f"engine_pick_{stem}_{state}.gif"] = (
                engine_choice(text, state == "hover"), _crop(popup, place, (48, 25)))
    for state in ("normal", "hover"):
        pieces[f"engine_collapse_{state}.gif"] = (
            engine_collapse(state == "hover"), _crop(popup, (1, 86), (48, 20)))

    for stem, text, char, colour in ENGINES:
        pieces[f"engine_{stem}_small.gif"] = (engine_small(char, colour), None)
        pieces[f"engine_{stem}_wide.gif"] = (engine_wide(char, text, colour), None)
    return pieces


def write_all(art):
    return save_gifs(build(), art / "main")
