"""Tile faces icon/标签N.gif: 120x73, the site's name on a coloured face.

The lower 19 pixels are where the hover bar lies, so the name sits in the
upper part and the band below carries only a small category word."""
from PIL import ImageChops

from .fonts import cjk
from .gif import save_gif
from .raster import Canvas, hex_rgb, mix, text_width

WIDTH, HEIGHT = 120, 73
BAND_TOP = 54
CORNER_RADIUS = 9  # the hover bar rounds its lower corners alike

# (name on the face, category word, face colour) in tile order.
FACES = [
    ("百度", "搜索", "#3B6FE0"),
    ("新浪网", "门户", "#E4573D"),
    ("腾讯网", "门户", "#1E9BD7"),
    ("淘宝网", "购物", "#F07C1F"),
    ("京东网购", "购物", "#D63447"),
    ("优酷影视", "视频", "#8E52CC"),
    ("新浪新闻", "新闻", "#5363DB"),
    ("聚美优品", "美妆", "#DE4687"),
    ("中关村在线", "数码", "#2D5AA8"),
    ("百姓网", "分类信息", "#35A35B"),
    ("1号店", "超市", "#E0850B"),
    ("赶集网", "生活服务", "#0E8F8F"),
]

WHITE = (255, 255, 255, 255)


def _name_size(name):
    """Largest size up to 22 px at which the name fits 104 px."""
    for size in range(22, 11, -1):
        if text_width(cjk("bold", size), name) <= 104:
            return size
    return 12


def draw_face(name, category, colour):
    base = hex_rgb(colour)
    canvas = Canvas(WIDTH, HEIGHT)
    clip = canvas.shape_mask_rounded((0, 0, WIDTH, HEIGHT), CORNER_RADIUS)
    canvas.vertical_gradient((0, 0, WIDTH, HEIGHT),
                             mix(base, (255, 255, 255), 0.16),
                             mix(base, (0, 0, 0), 0.10), clip=clip)
    # Two soft discs in the top right corner give the face some depth.
    canvas.paste(_clipped(canvas, clip, lambda c: c.ellipse(
        (78, -34, 150, 38), fill=WHITE)), opacity=0.10)
    canvas.paste(_clipped(canvas, clip, lambda c: c.ellipse(
        (96, -14, 136, 26), fill=WHITE)), opacity=0.10)
    # The band under the name.
    canvas.paste(_clipped(canvas, clip, lambda c: c.rect(
        (0, BAND_TOP, WIDTH, HEIGHT), fill=(0, 0, 0, 255))), opacity=0.14)
    canvas.rect((10, BAND_TOP, WIDTH - 10, BAND_TOP + 0.75), fill=WHITE, opacity=0.22)

    size = _name_size(name)
    centre = (WIDTH / 2, 28)
    canvas.text((centre[0], centre[1] + 1), name,
                lambda s: cjk("bold", size * s), (0, 0, 0, 255), opacity=0.18)
    canvas.text(centre, name, lambda s: cjk("bold", size * s), WHITE)
    canvas.text((WIDTH / 2, BAND_TOP + 9.5), category,
                lambda s: cjk("regular", 11 * s), WHITE, opacity=0.85)
    return canvas.result()


def _clipped(canvas, clip, draw):
    """Runs draw on a scratch canvas and returns its layer cut to `clip`."""
    scratch = Canvas(canvas.width, canvas.height)
    draw(scratch)
    layer = scratch.image
    layer.putalpha(ImageChops.multiply(layer.getchannel("A"), clip.getchannel("A")))
    return layer


def write_all(tree):
    paths = []
    for number, (name, category, colour) in enumerate(FACES, start=1):
        path = tree / "icon" / f"标签{number}.gif"
        save_gif(draw_face(name, category, colour), path)
        paths.append(path)
    return paths
