"""The tile hover bar (GIF, art/main/): its background and the site-picker
button on it.

The bar (120x20) lies over the lower edge of a tile and one or two rows
below it, so its lower corners round off like the tile faces' and the
pixels outside them stay transparent; its top corners are square because
they fall on the tile. The title is the program's own white text at the
left; the picker button stands at 97,0 and is blended over the bar, cut at
the bar's outline so the rounded corner shows the same through both."""
from PIL import ImageChops

from .chrome import rgba
from .gif import save_gifs
from .raster import Canvas, hex_rgb
from .tiles import CORNER_RADIUS

WIDTH, HEIGHT = 120, 20
PICK_AT = (97, 0)
PICK_SIZE = (20, 20)

# A dark slate that reads as a shade over any tile colour.
BAR_TOP = hex_rgb("#2E3A51")
BAR_BOTTOM = hex_rgb("#19212F")
BAR_LINE = hex_rgb("#5A6A84")
WHITE = (255, 255, 255)


def bar():
    c = Canvas(WIDTH, HEIGHT)
    # The overhang above the canvas leaves only the lower corners rounded.
    r = CORNER_RADIUS
    clip = c.shape_mask_rounded((0, -r, WIDTH, HEIGHT), r)
    c.vertical_gradient((0, 0, WIDTH, HEIGHT), BAR_TOP, BAR_BOTTOM, clip=clip)
    c.rect((0, 0, WIDTH, 1), rgba(BAR_LINE))
    # A hairline sets the picker button apart from the title.
    c.rect((PICK_AT[0] - 2, 5, PICK_AT[0] - 1, 15), rgba(WHITE), opacity=0.16)
    return c.result()


def _erase(c, mask_layer):
    c.image.putalpha(ImageChops.subtract(c.image.getchannel("A"),
                                         mask_layer.getchannel("A")))


def _pencil(c, colour):
    """A pencil leaning to the right, point at the lower left, with a gap
    cut before the point and before the cap."""
    # Axis from the point (x0, y0) towards the cap, 45 degrees up-right.
    x0, y0, length, half = 4.4, 15.6, 14.2, 2.3
    ux, uy = 0.7071, -0.7071   # along the pencil
    nx, ny = 0.7071, 0.7071    # across it

    def at(s, t):
        return (x0 + ux * s + nx * t, y0 + uy * s + ny * t)

    point = 4.6
    c.polygon([at(0, 0), at(point, -half), at(length, -half),
               at(length, half), at(point, half)], colour)
    for s in (point + 0.2, length - 3.0):
        cut = Canvas(c.width, c.height)
        cut.polygon([at(s - 0.4, -half - 1), at(s + 0.4, -half - 1),
                     at(s + 0.4, half + 1), at(s - 0.4, half + 1)], rgba(WHITE))
        _erase(c, cut.image)


def pick_button():
    c = Canvas(*PICK_SIZE)
    # A soft disc marks the glyph as a button on the dark bar.
    c.ellipse((2, 2, 18, 18), fill=rgba(WHITE), opacity=0.12)
    glyph = Canvas(*PICK_SIZE)
    _pencil(glyph, rgba(WHITE))
    c.paste(glyph.image)
    return c.result()


def build():
    """{file name: (RGBA image, backdrop or None)}"""
    background = bar()
    x, y = PICK_AT
    # The bar as the GIF shows it: its pixels opaque or not at half coverage.
    shown = background.copy()
    shown.putalpha(background.getchannel("A").point(lambda a: 255 if a >= 128 else 0))
    behind = shown.crop((x, y, x + PICK_SIZE[0], y + PICK_SIZE[1]))
    return {"tile_bar.gif": (background, None),
            "tile_pick.gif": (pick_button(), behind)}


def write_all(art):
    return save_gifs(build(), art / "main")
