"""The CJK faces the artwork is lettered with (Debian's fonts-noto-cjk)."""
from functools import lru_cache
from pathlib import Path

from PIL import ImageFont

NOTO_DIR = Path("/usr/share/fonts/opentype/noto")
FACES = {
    "regular": "NotoSansCJK-Regular.ttc",
    "bold": "NotoSansCJK-Bold.ttc",
}
# Simplified Chinese glyph forms; the collection also holds JP/KR/TC/HK.
FAMILY = "Noto Sans CJK SC"


class MissingFont(RuntimeError):
    pass


@lru_cache(maxsize=None)
def _collection_index(path):
    for index in range(16):
        try:
            face = ImageFont.truetype(str(path), 12, index=index)
        except OSError:
            break
        if face.getname()[0] == FAMILY:
            return index
    raise MissingFont(f"{path} holds no '{FAMILY}' face")


@lru_cache(maxsize=None)
def cjk(weight, size):
    """Noto Sans CJK SC of the given weight ('regular' or 'bold') and pixel size."""
    path = NOTO_DIR / FACES[weight]
    if not path.is_file():
        raise MissingFont(
            f"font file {path} is missing; install Debian's fonts-noto-cjk")
    return ImageFont.truetype(str(path), size, index=_collection_index(path))
