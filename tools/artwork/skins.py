"""The five skins (backgrounds of the home window), drawn procedurally.

The home window shows the centre of a skin scaled to cover 900x600, with the
search row in its upper fifth and the tiles below: the scenes keep their
detail low in the picture and near the edges, and the middle calm."""
import io

import numpy as np
from PIL import Image

# Skin file name, size, scene.
SKINS = [
    ("skin1.jpg", (1680, 1050), "dawn"),
    ("skin2.jpg", (1920, 1080), "night"),
    ("skin3.jpg", (1440, 900), "spring"),
    ("skin4.jpg", (1440, 900), "sunset"),
    ("skin5.jpg", (1920, 1200), "ocean"),
]
QUALITY = 85
MAX_BYTES = 400 * 1024


def _rgb(value):
    value = value.lstrip("#")
    return np.array([int(value[i: i + 2], 16) for i in (0, 2, 4)], np.float32)


class Scene:
    """A float RGB picture with coordinates in units of the picture height:
    y runs 0..1 top to bottom, x runs 0..width/height."""

    def __init__(self, width, height, seed):
        self.w, self.h = width, height
        self.rng = np.random.default_rng(seed)
        ys, xs = np.mgrid[0:height, 0:width].astype(np.float32)
        self.x = (xs + 0.5) / height
        self.y = (ys + 0.5) / height
        self.aspect = width / height
        self.px = 1.0 / height  # one pixel in scene units
        self.rgb = np.zeros((height, width, 3), np.float32)

    def gradient(self, stops, along=None):
        """Colour stops [(t, '#rrggbb'), ...] along `along` (default y)."""
        t = self.y if along is None else along
        ts = [s[0] for s in stops]
        cols = np.stack([_rgb(s[1]) for s in stops])
        out = np.empty_like(self.rgb)
        for c in range(3):
            out[..., c] = np.interp(t, ts, cols[:, c])
        self.rgb = out

    def blend(self, colour, alpha):
        a = np.clip(alpha, 0.0, 1.0)[..., None]
        self.rgb = self.rgb * (1.0 - a) + _rgb(colour) * a

    def add_light(self, colour, amount):
        """Screen-like brightening by a colour."""
        a = np.clip(amount, 0.0, 1.0)[..., None]
        c = _rgb(colour)
        self.rgb = 255.0 - (255.0 - self.rgb) * (1.0 - a * c / 255.0)

    def glow(self, cx, cy, radius, colour, strength, squash=1.0):
        d2 = ((self.x - cx) ** 2 + ((self.y - cy) / squash) ** 2) / radius ** 2
        self.add_light(colour, strength * np.exp(-d2))

    def ridge(self, base, waves):
        """A skyline height (in y units) as a function of x: base plus sines
        given as (amplitude, wavelength, phase)."""
        x = self.x[0]
        line = np.full_like(x, base)
        for amplitude, wavelength, phase in waves:
            line += amplitude * np.sin(2 * np.pi * x / wavelength + phase)
        return line

    def fill_below(self, line, top_colour, bottom_colour, depth=0.35):
        """Fills below a skyline with a vertical gradient, with an edge
        anti-aliased over one pixel."""
        edge = np.clip((self.y - line[None, :]) / self.px + 0.5, 0.0, 1.0)
        t = np.clip((self.y - line[None, :]) / depth, 0.0, 1.0)[..., None]
        colour = _rgb(top_colour) * (1 - t) + _rgb(bottom_colour) * t
        a = edge[..., None]
        self.rgb = self.rgb * (1 - a) + colour * a

    def vignette(self, strength):
        cx, cy = self.aspect / 2, 0.5
        d = np.sqrt(((self.x - cx) / self.aspect) ** 2 + (self.y - cy) ** 2)
        self.rgb *= (1.0 - strength * np.clip(d - 0.3, 0, 1) ** 2)[..., None]

    def soft_discs(self, count, radius_range, colour, alpha_range, keep_out=None,
                   y_range=(0.0, 1.0)):
        """Out-of-focus discs (bokeh) with a soft rim; `keep_out` is an
        ellipse (cx, cy, rx, ry) that the centres avoid."""
        placed = 0
        while placed < count:
            cx = self.rng.uniform(0, self.aspect)
            cy = self.rng.uniform(*y_range)
            r = self.rng.uniform(*radius_range)
            a = self.rng.uniform(*alpha_range)
            if keep_out:
                kx, ky, krx, kry = keep_out
                if ((cx - kx) / krx) ** 2 + ((cy - ky) / kry) ** 2 < 1.0:
                    continue
            placed += 1
            x0 = max(0, int((cx - r) * self.h) - 2)
            x1 = min(self.w, int((cx + r) * self.h) + 3)
            y0 = max(0, int((cy - r) * self.h) - 2)
            y1 = min(self.h, int((cy + r) * self.h) + 3)
            if x0 >= x1 or y0 >= y1:
                continue
            sx, sy = self.x[y0:y1, x0:x1], self.y[y0:y1, x0:x1]
            d = np.sqrt((sx - cx) ** 2 + (sy - cy) ** 2) / r
            disc = np.clip((1.0 - d) * r / (2.5 * self.px), 0, 1)  # soft edge
            body = disc * (0.75 + 0.25 * d ** 2)  # a slightly brighter rim
            region = self.rgb[y0:y1, x0:x1]
            c = _rgb(colour)
            amount = (a * body)[..., None]
            self.rgb[y0:y1, x0:x1] = 255.0 - (255.0 - region) * (1.0 - amount * c / 255.0)

    def stars(self, count, calm):
        """Small stars, fewer and fainter inside the ellipse `calm`."""
        kx, ky, krx, kry = calm
        for _ in range(count):
            cx = self.rng.uniform(0, self.aspect)
            cy = self.rng.uniform(0, 0.8)
            inside = ((cx - kx) / krx) ** 2 + ((cy - ky) / kry) ** 2 < 1.0
            brightness = self.rng.uniform(0.25, 1.0) ** 2 * (0.35 if inside else 1.0)
            size = self.px * self.rng.uniform(0.6, 1.4)
            ix, iy = int(cx * self.h), int(cy * self.h)
            y0, y1 = max(0, iy - 3), min(self.h, iy + 4)
            x0, x1 = max(0, ix - 3), min(self.w, ix + 4)
            sx, sy = self.x[y0:y1, x0:x1], self.y[y0:y1, x0:x1]
            d2 = ((sx - cx) ** 2 + (sy - cy) ** 2) / size ** 2
            amount = (brightness * np.exp(-d2))[..., None]
            region = self.rgb[y0:y1, x0:x1]
            self.rgb[y0:y1, x0:x1] = region + (np.array([235, 240, 255]) - region) * amount

    def grain(self, amount):
        """A little noise so smooth gradients do not band after JPEG."""
        self.rgb += self.rng.normal(0.0, amount, self.rgb.shape).astype(np.float32)

    def image(self):
        return Image.fromarray(np.clip(np.rint(self.rgb), 0, 255).astype(np.uint8), "RGB")


def dawn(s):
    s.gradient([(0.0, "#55679E"), (0.32, "#8C8DC0"), (0.56, "#D9AEC0"),
                (0.72, "#F7C9A4"), (1.0, "#F7D8B8")])
    s.glow(s.aspect * 0.64, 0.74, 0.30, "#FFE6C4", 0.55, squash=0.6)
    s.glow(s.aspect * 0.64, 0.74, 0.08, "#FFF4E0", 0.55)
    s.fill_below(s.ridge(0.76, [(0.020, 0.9, 0.4), (0.010, 0.37, 1.3)]), "#B7A3C4", "#A893B8")
    s.fill_below(s.ridge(0.82, [(0.024, 1.1, 2.1), (0.009, 0.43, 0.2)]), "#8F86AF", "#7F78A2")
    s.fill_below(s.ridge(0.89, [(0.020, 0.8, 4.0), (0.008, 0.29, 2.2)]), "#6C6992", "#5A5880")
    s.grain(1.1)


def night(s):
    s.gradient([(0.0, "#070D24"), (0.45, "#0E1A40"), (0.8, "#1A2C5C"), (1.0, "#22356A")])
    s.glow(s.aspect * 0.5, 1.02, 0.55, "#4C6FD8", 0.50, squash=0.55)
    s.glow(s.aspect * 0.5, 0.98, 0.22, "#8FA8F0", 0.30, squash=0.6)
    s.stars(900, calm=(s.aspect * 0.5, 0.45, s.aspect * 0.24, 0.26))
    s.fill_below(s.ridge(0.90, [(0.018, 1.2, 0.7), (0.007, 0.31, 2.0)]), "#121C3C", "#0C1430")
    s.fill_below(s.ridge(0.95, [(0.012, 0.9, 3.1), (0.005, 0.23, 1.1)]), "#0A1128", "#070C1E")
    s.grain(1.0)


def spring(s):
    diagonal = (s.x / s.aspect * 0.45 + s.y * 0.55)
    s.gradient([(0.0, "#D6EFB6"), (0.45, "#A6D98A"), (0.8, "#6DBA62"), (1.0, "#4E9E55")],
               along=diagonal)
    s.glow(s.aspect * 0.18, 0.10, 0.45, "#FFFBE0", 0.45)
    keep = (s.aspect * 0.5, 0.52, s.aspect * 0.30, 0.34)
    s.soft_discs(36, (0.03, 0.11), "#FFFFF0", (0.10, 0.28), keep_out=keep)
    s.soft_discs(22, (0.015, 0.04), "#F4FFD6", (0.15, 0.35), keep_out=keep)
    s.soft_discs(10, (0.05, 0.09), "#FFFFFF", (0.05, 0.10))
    s.vignette(0.35)
    s.grain(1.1)


def sunset(s):
    s.gradient([(0.0, "#3A2F6B"), (0.30, "#7D4C8C"), (0.52, "#D8728A"),
                (0.68, "#F6A26A"), (0.80, "#FBC57E"), (1.0, "#FBC57E")])
    s.glow(s.aspect * 0.42, 0.71, 0.34, "#FFD29A", 0.50, squash=0.55)
    sun = np.clip(1.0 - np.sqrt((s.x - s.aspect * 0.42) ** 2 + (s.y - 0.70) ** 2)
                  / 0.055, 0, 1)
    s.add_light("#FFF0D0", np.clip(sun * 12, 0, 0.85))
    s.fill_below(s.ridge(0.71, [(0.030, 0.7, 0.9), (0.012, 0.23, 2.4)]), "#C97A8E", "#B86F88")
    s.fill_below(s.ridge(0.77, [(0.034, 0.95, 2.6), (0.012, 0.31, 0.3)]), "#9A5A82", "#8A4F78")
    s.fill_below(s.ridge(0.84, [(0.030, 0.8, 4.4), (0.010, 0.27, 1.7)]), "#6E3F6C", "#5F3660")
    s.fill_below(s.ridge(0.92, [(0.026, 1.1, 1.2), (0.008, 0.21, 3.3)]), "#432A4E", "#36213F")
    s.grain(1.1)


def ocean(s):
    horizon = 0.62
    sky = np.clip(s.y / horizon, 0, 1)
    s.gradient([(0.0, "#6FC3D6"), (0.6, "#A9DDE3"), (1.0, "#D8F0EC")], along=sky)
    s.glow(s.aspect * 0.58, horizon - 0.02, 0.30, "#FFFFFF", 0.45, squash=0.5)
    depth = np.clip((s.y - horizon) / (1 - horizon), 0, 1)
    sea = np.empty_like(s.rgb)
    stops = [(0.0, "#6CC2C2"), (0.35, "#3FA3AA"), (1.0, "#1E7388")]
    for c in range(3):
        sea[..., c] = np.interp(depth, [t for t, _ in stops],
                                [_rgb(v)[c] for _, v in stops])
    below = np.clip((s.y - horizon) / s.px + 0.5, 0, 1)[..., None]
    s.rgb = s.rgb * (1 - below) + sea * below
    # Gentle swell: light crests getting broader towards the viewer.
    for k in range(14):
        t = (k + 0.5) / 14
        y0 = horizon + (1 - horizon) * t ** 1.6
        line = s.ridge(y0, [(0.004 + 0.010 * t, 0.35 + 0.5 * t, k * 1.7),
                            (0.002 + 0.004 * t, 0.13 + 0.1 * t, k * 0.9)])
        band = np.exp(-((s.y - line[None, :]) / (0.0025 + 0.006 * t)) ** 2)
        s.add_light("#E8FFFA", band * (0.10 + 0.10 * t))
    reflection = np.exp(-((s.x - s.aspect * 0.58) / 0.20) ** 2) * np.exp(
        -((s.y - horizon) / 0.12) ** 2) * (s.y > horizon)
    s.add_light("#FFFFFF", reflection * 0.25)
    s.grain(1.0)


SCENES = {"dawn": dawn, "night": night, "spring": spring, "sunset": sunset, "ocean": ocean}


def render(size, scene, seed):
    s = Scene(size[0], size[1], seed)
    SCENES[scene](s)
    return s.image()


def jpeg_bytes(image):
    out = io.BytesIO()
    image.save(out, format="JPEG", quality=QUALITY, optimize=True,
               progressive=False, subsampling="4:2:0")
    return out.getvalue()


def write_all(art):
    paths = []
    for seed, (name, size, scene) in enumerate(SKINS, start=1):
        data = jpeg_bytes(render(size, scene, seed))
        if len(data) > MAX_BYTES:
            raise RuntimeError(f"{name} is {len(data)} bytes, over {MAX_BYTES}")
        path = art / "skins" / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        paths.append(path)
    return paths
