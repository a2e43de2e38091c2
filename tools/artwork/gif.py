"""Writing RGBA artwork as GIF89a with one transparent colour."""
import numpy as np
from PIL import Image

TRANSPARENT_RGB = (128, 128, 128)


def _palette_of(rgb, opaque):
    """Exact palette when the opaque pixels hold at most 255 colours, else a
    median-cut one; returns (index image as uint8 array, list of RGB)."""
    h, w, _ = rgb.shape
    flat = rgb.reshape(-1, 3)
    mask = opaque.reshape(-1)
    colours, inverse = np.unique(flat[mask], axis=0, return_inverse=True)
    index = np.zeros(h * w, dtype=np.uint8)
    if len(colours) <= 255:
        index[mask] = inverse.reshape(-1)
        return index.reshape(h, w), [tuple(int(v) for v in c) for c in colours]
    # Transparent pixels take an opaque colour so they cost no palette entry.
    filler = flat[mask][0] if mask.any() else np.zeros(3, np.uint8)
    filled = flat.copy()
    filled[~mask] = filler
    image = Image.fromarray(filled.reshape(h, w, 3), "RGB")
    quantised = image.quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE)
    palette = quantised.getpalette()[: 3 * 255]
    used = max(quantised.getdata()) + 1
    colours = [tuple(palette[3 * i: 3 * i + 3]) for i in range(used)]
    index = np.asarray(quantised, dtype=np.uint8).reshape(-1).copy()
    return index.reshape(h, w), colours


def to_indexed(rgba, backdrop=None, cut=0.5):
    """Turns an RGBA image into a palette image with GIF transparency.

    Pixels above `cut` alpha become opaque in their own (unpremultiplied)
    colour, the others transparent. Where `backdrop` (an RGBA image of the
    same size) is opaque, we know what lies behind the picture on screen, so
    the picture is blended over it and stays opaque there: clean
    anti-aliasing with no halo, and no reliance on GIF transparency.
    """
    src = np.asarray(rgba.convert("RGBA"), dtype=np.float64) / 255.0
    alpha = src[..., 3:4]
    rgb = src[..., :3]
    opaque = alpha[..., 0] >= cut
    if backdrop is not None:
        back = np.asarray(backdrop.convert("RGBA"), dtype=np.float64) / 255.0
        known = back[..., 3] > 0.5
        blended = rgb * alpha + back[..., :3] * (1.0 - alpha)
        rgb = np.where(known[..., None], blended, rgb)
        opaque = known | opaque
    rgb8 = np.clip(np.rint(rgb * 255.0), 0, 255).astype(np.uint8)
    index, colours = _palette_of(rgb8, opaque)
    transparent = None
    if not opaque.all():
        transparent = len(colours)
        colours = colours + [TRANSPARENT_RGB]
        index = np.where(opaque, index, transparent).astype(np.uint8)
    image = Image.fromarray(index, "P")
    flat_palette = [v for c in colours for v in c]
    image.putpalette(flat_palette + [0] * (768 - len(flat_palette)))
    return image, transparent


def save_gif(rgba, path, backdrop=None, cut=0.5):
    image, transparent = to_indexed(rgba, backdrop=backdrop, cut=cut)
    image.info["version"] = b"89a"
    options = {"format": "GIF", "optimize": False}
    if transparent is not None:
        options["transparency"] = transparent
    path.parent.mkdir(parents=True, exist_ok=True)
    image.save(path, **options)
    data = path.read_bytes()
    if not data.startswith(b"GIF89a"):
        raise RuntimeError(f"{path} was not written as GIF89a")
    return data


def save_gifs(pieces, folder):
    """Writes {file name: (rgba, backdrop)} into `folder`; returns the paths."""
    paths = []
    for name, (image, backdrop) in pieces.items():
        path = folder / name
        save_gif(image, path, backdrop=backdrop)
        paths.append(path)
    return paths
