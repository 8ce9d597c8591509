"""Checks of what headless Chromium made of the overlay page.

  overlay_check.py dom DOM_FILE EXPECTED...
    DOM_FILE is what --dump-dom printed. Passes when the page has no element
    or attribute that a name could have brought in, and its text holds each
    EXPECTED string.

  overlay_check.py transparent PNG_FILE
    PNG_FILE is a screenshot taken on a transparent background. Passes when
    the page left most of it transparent (the corners included) and drew the
    figures opaque, in the win and the loss colour among others.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_check import Dom, png_pixels  # noqa: E402

WIN = (0x5E, 0xE0, 0x7A)
LOSS = (0xFF, 0x6B, 0x6B)


def check_dom(path, expected):
    dom = Dom()
    with open(path, encoding="utf-8") as f:
        dom.feed(f.read())
    text = " ".join(" ".join(dom.text).split())
    return dom.faults + [f"no {want!r} in {text!r}" for want in expected
                         if want not in text]


def near(pixel, colour):
    return all(abs(a - b) <= 8 for a, b in zip(pixel, colour))


def check_transparent(path):
    width, height, bpp, rows = png_pixels(path)
    if bpp != 4:
        return ["no alpha channel: the background is not transparent"]
    faults = []
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1),
                 (width - 1, height - 1)):
        if rows[y][x * 4 + 3] != 0:
            faults.append(f"pixel {x},{y} is not transparent")
    clear = opaque = wins = losses = 0
    for row in rows:
        for x in range(0, width * 4, 4):
            alpha = row[x + 3]
            clear += alpha == 0
            if alpha == 255:
                opaque += 1
                wins += near(row[x:x + 3], WIN)
                losses += near(row[x:x + 3], LOSS)
    total = width * height
    if clear < total // 2:
        faults.append(f"only {clear} of {total} pixels transparent")
    if opaque < total // 200 or wins == 0 or losses == 0:
        faults.append(f"figures not drawn: {opaque} opaque pixels, {wins} "
                      f"in the win colour, {losses} in the loss colour")
    if not faults:
        print(f"{path}: {width}x{height}, {clear} transparent, {opaque} "
              f"opaque ({wins} win, {losses} loss)")
    return faults


def main(argv):
    if len(argv) >= 3 and argv[1] == "dom":
        faults = check_dom(argv[2], argv[3:])
    elif len(argv) == 3 and argv[1] == "transparent":
        faults = check_transparent(argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for fault in faults:
        print(f"{argv[2]}: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
