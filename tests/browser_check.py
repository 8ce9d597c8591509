"""Checks of what headless Chromium made of an HTML report.

  browser_check.py dom DOM_FILE TEXT_REPORT EXPECTED...
    DOM_FILE is what --dump-dom printed. Passes when the page has no element
    or attribute that a name could have brought in (script, img, iframe,
    object, embed, link, an on* attribute, a src or href), when the text the
    page shows holds each EXPECTED string, and when the page has one heatmap
    cell (a table cell of class "qN") per non-empty cell of the grids in
    TEXT_REPORT, the classic report of the same player: his own grid and
    those of the opponents the page has a section for. The text of title
    attributes (the heatmap's tooltips) counts as shown.

  browser_check.py png PNG_FILE
    Passes when the screenshot decodes and is not blank: more than 16
    colours, none of them covering more than 95% of it.
"""

import collections
import html.parser
import re
import struct
import sys
import zlib

FORBIDDEN_ELEMENTS = {"script", "img", "iframe", "object", "embed", "link",
                      "base", "form", "input", "video", "audio", "frame"}


class Dom(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.faults = []
        self.text = []
        self.cells = 0
        self.sections = []  # the opponents' names, from their summaries
        self._in_summary = False
        self.glued = False  # the next text goes on from a name's <bdi>

    def handle_starttag(self, tag, attrs):
        self.glued = False
        if tag in FORBIDDEN_ELEMENTS:
            self.faults.append(f"element <{tag}>")
        for name, value in attrs:
            if name.startswith("on") or name in ("src", "href", "xlink:href"):
                self.faults.append(f"attribute {name}={value!r} on <{tag}>")
        if tag == "td" and re.fullmatch(r"q\d+", dict(attrs).get("class") or ""):
            self.cells += 1
        if dict(attrs).get("title"):
            self.text.append(dict(attrs)["title"])
        if tag == "summary":
            self._in_summary = True
            self.sections.append("")
        elif tag == "small":
            self._in_summary = False

    def handle_endtag(self, tag):
        self.glued = tag == "bdi"
        if tag == "summary":
            self._in_summary = False

    def handle_data(self, data):
        if self.glued and self.text:
            self.text[-1] += data
        else:
            self.text.append(data)
        self.glued = False
        if self._in_summary:
            self.sections[-1] += data


def grid_cells(report, opponents):
    """Non-empty cells ("|%4d/%4d") of the classic report's grids: the
    player's own and those of the named opponents."""
    cells, counted = 0, False
    wanted = {"* Detailed matchup vs: " + name for name in opponents}
    for line in report.splitlines():
        if line.startswith("Total matchups for ") or \
                line.startswith("* Detailed matchup vs: "):
            counted = line.startswith("Total") or line in wanted
        if counted and line.count("|") == 23:
            cells += len(re.findall(r"\|\s*-?\d+/\s*-?\d+", line))
    return cells


def check_dom(dom_file, report_file, expected):
    with open(dom_file, encoding="utf-8") as f:
        dom_text = f.read()
    with open(report_file, encoding="utf-8", errors="replace") as f:
        report = f.read()
    dom = Dom()
    dom.feed(dom_text)
    faults = list(dom.faults)
    shown = " ".join(" ".join(dom.text).split())
    for text in expected:
        if text not in shown:
            faults.append(f"text {text!r} not shown")
    want = grid_cells(report, dom.sections)
    if dom.cells != want or want == 0:
        faults.append(f"{dom.cells} heatmap cells for {want} grid cells")
    return faults


def png_pixels(path):
    """Width, height, bytes per pixel and the unfiltered rows of an 8-bit
    truecolour PNG (what Chromium writes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if depth != 8 or colour not in (2, 6):
        raise ValueError(f"depth {depth}, colour type {colour}")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = row[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                row[i] = (row[i] + pred) & 0xFF
        rows.append(bytes(row))
        previous = row
    return width, height, bpp, rows


def check_png(path):
    width, height, bpp, rows = png_pixels(path)
    colours = collections.Counter()
    for row in rows[::4]:
        for x in range(0, width * bpp, 4 * bpp):
            colours[row[x:x + 3]] += 1
    total = sum(colours.values())
    most = colours.most_common(1)[0][1]
    if len(colours) <= 16 or most > 0.95 * total:
        return [f"{width}x{height} screenshot looks blank: {len(colours)} "
                f"colours, the commonest on {100 * most // total}%"]
    print(f"{path}: {width}x{height}, {len(colours)} colours sampled")
    return []


def main(argv):
    if len(argv) >= 4 and argv[1] == "dom":
        faults = check_dom(argv[2], argv[3], argv[4:])
    elif len(argv) == 3 and argv[1] == "png":
        faults = check_png(argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for fault in faults:
        print(f"{argv[2]}: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
