"""Drawing helpers: supersampled canvases, gradients, rounded shapes, text."""
import numpy as np
from PIL import Image, ImageDraw

SCALE = 4  # artwork is drawn at 4x and downsampled for clean edges


def hex_rgb(value):
    value = value.lstrip("#")
    return tuple(int(value[i: i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    """Colour between a and b (t = 0 gives a)."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    """An RGBA drawing surface at SCALE times the target size; coordinates
    passed to its methods are in target pixels (floats allowed)."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.image = Image.new("RGBA", (width * SCALE, height * SCALE), fill)

    def _box(self, box):
        return [round(v * SCALE) for v in box]

    def layer(self):
        return Image.new("RGBA", self.image.size, (0, 0, 0, 0))

    def paste(self, layer, opacity=1.0):
        if opacity < 1.0:
            alpha = layer.getchannel("A").point(lambda a: round(a * opacity))
            layer.putalpha(alpha)
        self.image = Image.alpha_composite(self.image, layer)

    def rounded(self, box, radius, fill=None, outline=None, width=1.0, opacity=1.0):
        layer = self.layer()
        ImageDraw.Draw(layer).rounded_rectangle(
            self._box(box), radius=round(radius * SCALE), fill=fill,
            outline=outline, width=max(1, round(width * SCALE)) if outline else 0)
        self.paste(layer, opacity)

    def ellipse(self, box, fill=None, outline=None, width=1.0, opacity=1.0):
        layer = self.layer()
        ImageDraw.Draw(layer).ellipse(
            self._box(box), fill=fill, outline=outline,
            width=max(1, round(width * SCALE)) if outline else 0)
        self.paste(layer, opacity)

    def polygon(self, points, fill, opacity=1.0):
        layer = self.layer()
        ImageDraw.Draw(layer).polygon(
            [(x * SCALE, y * SCALE) for x, y in points], fill=fill)
        self.paste(layer, opacity)

    def polyline(self, points, fill, width, opacity=1.0):
        """A stroke with round joins and round caps."""
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        pts = [(x * SCALE, y * SCALE) for x, y in points]
        w = round(width * SCALE)
        draw.line(pts, fill=fill, width=w, joint="curve")
        r = w / 2
        for x, y in (pts[0], pts[-1]):
            draw.ellipse([x - r, y - r, x + r, y + r], fill=fill)
        self.paste(layer, opacity)

    def rect(self, box, fill, opacity=1.0):
        layer = self.layer()
        ImageDraw.Draw(layer).rectangle(self._box(box), fill=fill)
        self.paste(layer, opacity)

    def text(self, centre, text, font_of, fill, opacity=1.0):
        """Text centred on `centre`; font_of(size) gives a font at a pixel size
        (called with the supersampled size)."""
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        font = font_of(SCALE)
        x, y = centre[0] * SCALE, centre[1] * SCALE
        draw.text((x, y), text, font=font, fill=fill, anchor="mm")
        self.paste(layer, opacity)

    def vertical_gradient(self, box, top, bottom, clip=None):
        """Fills box with a top-to-bottom gradient, limited to the alpha of
        the `clip` layer when given."""
        x0, y0, x1, y1 = self._box(box)
        h = max(1, y1 - y0)
        t = np.linspace(0.0, 1.0, h)[:, None]
        col = (np.array(top)[None, :] * (1 - t) + np.array(bottom)[None, :] * t)
        strip = np.repeat(col[:, None, :], x1 - x0, axis=1)
        alpha = np.full((h, x1 - x0, 1), 255.0)
        grad = Image.fromarray(
            np.concatenate([strip, alpha], axis=2).round().astype(np.uint8), "RGBA")
        layer = self.layer()
        layer.paste(grad, (x0, y0))
        if clip is not None:
            a = np.minimum(np.asarray(layer.getchannel("A")),
                           np.asarray(clip.getchannel("A")))
            layer.putalpha(Image.fromarray(a.astype(np.uint8), "L"))
        self.paste(layer)

    def shape_mask_rounded(self, box, radius):
        layer = self.layer()
        ImageDraw.Draw(layer).rounded_rectangle(
            self._box(box), radius=round(radius * SCALE), fill=(255, 255, 255, 255))
        return layer

    def result(self):
        """The artwork at its target size (Lanczos, premultiplied alpha)."""
        return self.image.resize((self.width, self.height), Image.Resampling.LANCZOS)


def text_width(font, text):
    left, _, right, _ = font.getbbox(text)
    return right - left
