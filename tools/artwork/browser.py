"""Chrome of the browser window's toolbar strip (GIF, art/browser/).

The strip is 50 rows of the chosen skin, so the pieces that stand on it
directly (the emblem, the two corner buttons, the search frame) cut their
soft edges at half coverage into GIF transparency, as the home window's
pieces over the skin do. The back and forward buttons and the badge between
them sit inside the white address field and are blended over white.

The go and search buttons, the engine drop-down, popup and logos and the
500x32 address frame are the home window's own (art/main/)."""
from PIL import Image

from .chrome import (ACCENT, ACCENT_DARK, ACCENT_PALE, CLOSE_RED, GLYPH, HOVER_FILL,
                     PILL_RIM, STRIP_BOTTOM, STRIP_TOP, WHITE, draw_emblem,
                     field_frame, rgba, solid)
from .gif import save_gifs
from .raster import Canvas, hex_rgb, mix

NAV_INK = hex_rgb("#5E6B80")
BADGE_INK = mix(ACCENT, WHITE, 0.1)

# The corner buttons hang from the top edge as one dark tab: minimize
# (42 wide) stands right against close (41 wide), whose right edge is
# 2 pixels short of the screen's.
TAB_BOTTOM = 32
TAB_RADIUS = 7
TAB_GLYPH_Y = 16


def _corner_button(size, rounded_side, glyph, hover, hover_colour, divider):
    """One half of the corner tab: its outer bottom corner rounded, the inner
    side running on into the other half."""
    w, h = size
    c = Canvas(w, h)
    r = TAB_RADIUS
    # Off-canvas overhangs leave only the outer bottom corner rounded.
    if rounded_side == "left":
        outer, inner = (0, -r, w + r, TAB_BOTTOM), (1, -r, w + r, TAB_BOTTOM - 1)
    else:
        outer, inner = (-r, -r, w, TAB_BOTTOM), (-r, -r, w - 1, TAB_BOTTOM - 1)
    if hover:
        # The pointed-at half is one flat fill, rim included.
        c.rounded(outer, r, fill=rgba(hover_colour))
    else:
        # A lighter rim keeps the tab apart from dark skins.
        c.rounded(outer, r, fill=rgba(PILL_RIM))
        body = c.shape_mask_rounded(inner, r - 1)
        c.vertical_gradient((0, 0, w, TAB_BOTTOM), STRIP_TOP, STRIP_BOTTOM, clip=body)
        if divider:
            c.rect((w - 1, 9, w, TAB_BOTTOM - 9), rgba(PILL_RIM), opacity=0.8)
    glyph(c, rgba(WHITE if hover else GLYPH))
    return c.result()


def _minimize_glyph(c, colour):
    c.polyline([(15.5, TAB_GLYPH_Y + 0.5), (26.5, TAB_GLYPH_Y + 0.5)], colour, 2)


def _close_glyph(c, colour):
    x, y, r = 20, TAB_GLYPH_Y, 5.5
    c.polyline([(x - r, y - r), (x + r, y + r)], colour, 2)
    c.polyline([(x - r, y + r), (x + r, y - r)], colour, 2)


def minimize_button(hover):
    return _corner_button((42, 51), "left", _minimize_glyph, hover, HOVER_FILL, divider=True)


def close_button(hover):
    return _corner_button((41, 40), "right", _close_glyph, hover, CLOSE_RED, divider=False)


def _nav_button(points, hover):
    c = Canvas(26, 26)
    if hover:
        c.ellipse((1, 1, 25, 25), fill=rgba(ACCENT_PALE))
    c.polyline(points, rgba(ACCENT_DARK if hover else NAV_INK), 2.2)
    return c.result()


def back_button(hover):
    return _nav_button([(15, 7.5), (9.5, 13), (15, 18.5)], hover)


def forward_button(hover):
    return _nav_button([(11, 7.5), (16.5, 13), (11, 18.5)], hover)


def strip_logo():
    """The emblem at the strip's left end, in a white ring that keeps it
    apart from dark and blue skins alike."""
    c = Canvas(50, 50)
    c.ellipse((4, 4, 46, 46), fill=rgba(WHITE))
    draw_emblem(c, (5.75, 5.75, 44.25, 44.25))
    return c.result()


# The back button covers the badge's columns 0..12 and the forward button
# its columns 28..47; only the gap between them shows.
BADGE_SIZE = (48, 26)
BADGE_GAP = (13, 28)


def address_badge():
    """A small globe in the gap between back and forward, on white. Where
    the buttons lie the badge is transparent, so it looks the same whichever
    of them is drawn on top."""
    w, h = BADGE_SIZE
    c = Canvas(w, h)
    c.rect((BADGE_GAP[0], 0, BADGE_GAP[1], h), rgba(WHITE))
    x, y, r = (BADGE_GAP[0] + BADGE_GAP[1]) / 2, 13, 6.5
    ink = rgba(BADGE_INK)
    c.ellipse((x - r, y - r, x + r, y + r), outline=ink, width=1.3)
    c.ellipse((x - 2.8, y - r, x + 2.8, y + r), outline=ink, width=1.1)
    c.rect((x - r, y - 0.55, x + r, y + 0.55), ink)
    image = c.result()
    # Exactly the gap is opaque: resampling bleeds white a pixel sideways.
    alpha = Image.new("L", BADGE_SIZE, 0)
    alpha.paste(255, (BADGE_GAP[0], 0, BADGE_GAP[1], h))
    image.putalpha(alpha)
    return image


def build():
    """All pieces: {file name: (RGBA image, backdrop or None)}."""
    pieces = {}
    white = solid((26, 26), WHITE)
    for state in ("normal", "hover"):
        hover = state == "hover"
        pieces[f"minimize_{state}.gif"] = (minimize_button(hover), None)
        pieces[f"close_{state}.gif"] = (close_button(hover), None)
        pieces[f"back_{state}.gif"] = (back_button(hover), white)
        pieces[f"forward_{state}.gif"] = (forward_button(hover), white)
    pieces["search_frame.gif"] = (field_frame(300), None)
    pieces["logo.gif"] = (strip_logo(), None)
    pieces["address_badge.gif"] = (address_badge(), None)
    return pieces


def write_all(art):
    return save_gifs(build(), art / "browser")
