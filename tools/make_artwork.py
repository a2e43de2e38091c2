#!/usr/bin/python3
"""Regenerates Velk's artwork and shipped settings files.

Run from anywhere with Debian's Python (it has Pillow and numpy):
    /usr/bin/python3 tools/make_artwork.py
Every output is deterministic, so a rerun leaves the committed files as they
are unless the generator changed.
"""
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__

from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tools"))

from artwork import browser, chrome, settings_files, skins, tile_bar, tiles  # noqa: E402
from artwork.fonts import MissingFont  # noqa: E402


def main():
    tree = ROOT / "install-tree"
    art = ROOT / "art"
    written = []
    try:
        written += settings_files.write_all(tree)
        written += tiles.write_all(tree)
        written += skins.write_all(art)
        written += chrome.write_all(art)
        written += tile_bar.write_all(art)
        written += browser.write_all(art)
    except MissingFont as error:
        print(f"make_artwork: {error}", file=sys.stderr)
        return 1
    for path in written:
        print(path.relative_to(ROOT))
    return 0


if __name__ == "__main__":
    sys.exit(main())
