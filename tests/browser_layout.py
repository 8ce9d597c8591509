"""Loads an HTML report in headless Chromium and checks its layout.

  browser_layout.py CHROMIUM HTML_FILE WIDTH [--columns N] [--sections N]
                    [--matchups] [--print] [--time] [--reading-order]
                    [--names-fit] [--recent N] [--narrow] [--shot PNG]

Drives the browser over the DevTools protocol on a pipe (--remote-debugging-
pipe: JSON messages ended by NUL on file descriptors 3 and 4), so no port is
opened and the page's own policy (no script) stays as it is; the checks run
in the DevTools context. At WIDTH pixels it checks, with every far section
laid out:
  - no element overflows its box sideways, except inside a ".scroll" box,
    and the page itself does not scroll sideways;
  - no two text labels of a chart overlap;
  - the opponents table is sorted by matches, most first, and the opponent
    sections follow its order, one for each of its first rows;
  - with --sections N: exactly N opponents have a section, and when the
    table has more, a line names --opponent, the way to see the others;
  - each matchup row shows the 95% Wilson interval of its won and lost
    counts, as computed here (with --matchups there must be some);
  - with --columns N: the first heatmap has N columns, all inside the
    viewport, and no heatmap, the opponents' included, scrolls sideways;
  - the first heatmap's row labels stay in view when it scrolls sideways;
  - with --recent N: the section on what changes the results holds its
    chart and a row for each of the 9 conditions, and the recent sessions
    table N rows, the newest first.
With --narrow (a phone's width) no scroll box but a heatmap's scrolls
sideways, every table's figures (its columns Matches, Won, Lost and Win
rate) are shown inside the viewport, and every heatmap cell with counts in
its tooltip takes the focus, so that a tap shows them.
With --shot PNG it also saves a picture of those two sections.
With --reading-order, every text of the page's own outside a name's <bdi>
(an HTML page, the report or the overlay) must be laid out left to right,
whatever direction marks a name holds. With --names-fit the opponents table
must fit its scroll box: however long a name, no number is out of view.
With --print the page is laid out for print at WIDTH pixels (a sheet's
printable width) instead: every table, scroll box or not, must fit across
it, and every opponent's section must show its grid though folded.
With --time it prints (and passes whatever the checks found) the seconds
from navigation to a finished screenshot,
then the CPU seconds the page's renderer process spent (less sensitive to a
loaded machine than the first).
"""

import base64
import json
import math
import os
import re
import subprocess
import sys
import tempfile
import time

Z = 1.959963984540054

LAYOUT = r"""
(() => {
  for (const e of document.querySelectorAll('.far, details.opp'))
    e.style.contentVisibility = 'visible';
  const faults = [];
  const inScroll = e => e.closest('.scroll') !== null;
  const name = e => e.tagName.toLowerCase() +
      (e.className && e.className.baseVal === undefined && e.className
           ? '.' + e.className : '');
  if (document.documentElement.scrollWidth > window.innerWidth + 1)
    faults.push('page scrolls sideways: ' +
                document.documentElement.scrollWidth + ' px wide');
  for (const e of document.body.querySelectorAll('*')) {
    if (e instanceof SVGElement || inScroll(e)) continue;
    if (e.clientWidth > 0 && e.scrollWidth > e.clientWidth + 1)
      faults.push(name(e) + ' overflows: ' + e.scrollWidth + ' > ' +
                  e.clientWidth + ' "' + e.textContent.slice(0, 40) + '"');
  }
  for (const svg of document.querySelectorAll('svg.chart')) {
    const boxes = [...svg.querySelectorAll('text')].map(t => {
      const r = t.getBoundingClientRect();
      return {text: t.textContent, l: r.left, r: r.right, t: r.top,
              b: r.bottom};
    });
    for (let i = 0; i < boxes.length; ++i)
      for (let j = i + 1; j < boxes.length; ++j) {
        const a = boxes[i], b = boxes[j];
        if (Math.min(a.r, b.r) - Math.max(a.l, b.l) > 0.5 &&
            Math.min(a.b, b.b) - Math.max(a.t, b.t) > 0.5)
          faults.push('chart labels overlap: "' + a.text + '" and "' +
                      b.text + '"');
      }
  }
  const cells = row => [...row.children].map(c => c.textContent.trim());
  const opponents = [...document.querySelectorAll('table.opps tr')].slice(1)
      .map(cells);
  const sections = [...document.querySelectorAll('details.opp summary')]
      .map(s => s.firstChild.textContent);
  const matchups = [...document.querySelectorAll('table.matchups tr')]
      .filter(r => r.querySelector('td')).map(cells);
  const heat = document.querySelector('table.heat');
  const scrolling = [...document.querySelectorAll('table.heat')]
      .map(t => t.closest('.scroll'))
      .filter(box => box.scrollWidth > box.clientWidth + 1).length;
  const opponentLine = document.body.textContent.includes('--opponent NAME');
  let columns = [], sticky = null;
  if (heat) {
    columns = [...heat.querySelectorAll('thead th')].slice(1).map(th => {
      const r = th.getBoundingClientRect();
      return {l: r.left, r: r.right};
    });
    const box = heat.closest('.scroll');
    const label = heat.querySelector('tbody th');
    const before = label.getBoundingClientRect().left;
    box.scrollLeft = box.scrollWidth;
    sticky = {scrolled: box.scrollLeft,
              moved: label.getBoundingClientRect().left - before};
    box.scrollLeft = 0;
  }
  const printFaults = [];
  for (const t of document.querySelectorAll('table')) {
    const r = t.getBoundingClientRect();
    if (r.right > window.innerWidth + 1)
      printFaults.push('table.' + t.className + ' runs to ' +
                       Math.round(r.right) + ' px');
  }
  for (const d of document.querySelectorAll('details.opp')) {
    const grid = d.querySelector('table');
    if (!grid || grid.getBoundingClientRect().height === 0)
      printFaults.push('section of ' + d.querySelector('summary')
          .firstChild.textContent + ' shows no grid');
  }
  const opps = document.querySelector('table.opps');
  const oppsOverflow = opps ? opps.closest('.scroll').scrollWidth -
      opps.closest('.scroll').clientWidth : 0;
  const insights = document.getElementById('insights');
  const formChart = insights && insights.querySelector('svg.chart');
  const insightsShown = insights && {
    charts: insights.querySelectorAll('svg.chart').length,
    answers: insights.querySelectorAll('ul.answers li').length,
    chartFits: !formChart ||
        formChart.getBoundingClientRect().right <= window.innerWidth,
    // The conditions' table, the first; the characters' follows it.
    conditions: (insights.querySelector('table.effects') ?
        insights.querySelector('table.effects').rows.length : 0) - 1};
  const recent = [...document.querySelectorAll('table.recent tr')].slice(1)
      .map(r => r.firstElementChild.textContent);
  const last = document.getElementById('recent');
  const shot = insights && last && {
    top: insights.getBoundingClientRect().top + window.scrollY,
    bottom: last.getBoundingClientRect().bottom + window.scrollY};
  const narrowFaults = [];
  for (const box of document.querySelectorAll('.scroll')) {
    if (!box.querySelector('table.heat') &&
        box.scrollWidth > box.clientWidth + 1)
      narrowFaults.push(name(box.firstElementChild) + ' scrolls sideways: ' +
                        box.scrollWidth + ' > ' + box.clientWidth);
  }
  const figures = ['Matches', 'Won', 'Lost', 'Win rate'];
  for (const t of document.querySelectorAll('table:not(.heat)')) {
    for (const th of t.querySelectorAll('th')) {
      if (!figures.includes(th.textContent)) continue;
      const r = th.getBoundingClientRect();
      if (r.width === 0 || r.left < 0 || r.right > window.innerWidth + 1)
        narrowFaults.push('table.' + t.className + ': ' + th.textContent +
                          ' out of view');
    }
  }
  const untappable = [...document.querySelectorAll('.heat [title]')]
      .filter(c => c.tabIndex < 0).length;
  if (untappable)
    narrowFaults.push(untappable + ' heatmap cells show their counts only ' +
                      'on hover');
  return {faults, printFaults, narrowFaults, opponents, sections, matchups, columns, sticky,
          scrolling, opponentLine, oppsOverflow, insightsShown, recent, shot,
          viewport: window.innerWidth};
})()
"""

# The characters of the texts outside names and charts, those on one line,
# must stand left to right in the order they are written, from one element
# to the next too (a score's figures are elements of their own).
READING_ORDER = r"""
(() => {
  const faults = [];
  const walker = document.createTreeWalker(document.body,
                                           NodeFilter.SHOW_TEXT);
  const range = document.createRange();
  let last = null;
  for (let t = walker.nextNode(); t; t = walker.nextNode()) {
    if (t.parentElement.closest('bdi, svg')) continue;
    for (let i = 0; i < t.length; ++i) {
      if (/\s/.test(t.data[i])) continue;
      range.setStart(t, i);
      range.setEnd(t, i + 1);
      const r = range.getBoundingClientRect();
      if (r.width === 0) continue;
      if (last && Math.abs(r.top - last.top) < 2 && r.left < last.left) {
        faults.push('text out of reading order: "' + t.data.slice(0, 40) +
                    '"');
        break;
      }
      last = r;
    }
  }
  return faults;
})()
"""


class Browser:
    def __init__(self, chromium, profile):
        to_browser, self._write = os.pipe()
        self._read, from_browser = os.pipe()
        os.set_inheritable(to_browser, True)
        os.set_inheritable(from_browser, True)

        def move_pipes():
            os.dup2(to_browser, 3)
            os.dup2(from_browser, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu",
             "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--hide-scrollbars",
             "--user-data-dir=" + profile, "--remote-debugging-pipe"],
            preexec_fn=move_pipes, pass_fds=(3, 4),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next = 0
        self.session = None

    def _message(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._read, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, **params):
        self._next += 1
        request = {"id": self._next, "method": method, "params": params}
        if self.session and not method.startswith("Target."):
            request["sessionId"] = self.session
        os.write(self._write, json.dumps(request).encode() + b"\0")
        while True:
            message = self._message()
            if message.get("id") == self._next:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message["result"]

    def wait_for(self, event):
        while self._message().get("method") != event:
            pass

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass
        self.process.wait(timeout=30)


def evaluate(browser, expression):
    result = browser.call("Runtime.evaluate", expression=expression,
                          returnByValue=True)
    if "exceptionDetails" in result:
        raise RuntimeError(str(result["exceptionDetails"]))
    return result["result"]["value"]


def wilson(wins, losses):
    n = wins + losses
    p = wins / n
    denominator = 1 + Z * Z / n
    centre = (p + Z * Z / (2 * n)) / denominator
    half = Z * math.sqrt(p * (1 - p) / n + Z * Z / (4 * n * n)) / denominator
    return max(0.0, centre - half) * 100, min(1.0, centre + half) * 100


def number(text):
    return int(text.replace(",", ""))


def check_insights(result, recent):
    faults = []
    shown = result["insightsShown"]
    if not shown:
        faults.append("no section on what changes the results")
    elif shown["charts"] == 1 and (shown["answers"] != 4 or
                                   not 1 <= shown["conditions"] <= 9):
        faults.append(f"{shown['answers']} answers and "
                      f"{shown['conditions']} conditions, want 4 and 1-9")
    elif not shown["chartFits"]:
        faults.append("the form chart runs past the window's right edge")
    if len(result["recent"]) != recent:
        faults.append(f"{len(result['recent'])} recent sessions, want "
                      f"{recent}")
    if result["recent"] != sorted(result["recent"], reverse=True):
        faults.append("recent sessions not the newest first")
    return faults


def check(result, columns, sections, need_matchups, printed, names_fit,
          narrow):
    faults = list(result["faults"])
    if printed:
        faults += result["printFaults"]
    if narrow:
        faults += result["narrowFaults"]
    if names_fit and result["oppsOverflow"] > 1:
        faults.append(f"opponents table scrolls {result['oppsOverflow']} px "
                      "sideways")
    if need_matchups and not result["matchups"]:
        faults.append("no matchup that matters shown")
    matches = [number(row[1]) for row in result["opponents"]]
    if matches != sorted(matches, reverse=True):
        faults.append("opponents table not sorted by matches")
    names = [row[0] for row in result["opponents"]]
    if names[:len(result["sections"])] != result["sections"]:
        faults.append("opponent sections not the table's first rows")
    if sections is not None:
        if len(result["sections"]) != sections:
            faults.append(f"{len(result['sections'])} opponent sections, "
                          f"want {sections}")
        if (len(names) > sections) != result["opponentLine"]:
            faults.append("the line on --opponent NAME is "
                          + ("missing" if len(names) > sections else "there"))
    for row in result["matchups"]:
        low, high = wilson(number(row[2]), number(row[3]))
        want = f"{low:.1f}% – {high:.1f}%"
        if row[5] != want:
            faults.append(f"{row[0]}: interval {row[5]!r}, want {want!r}")
    if columns is not None:
        if len(result["columns"]) != columns:
            faults.append(f"{len(result['columns'])} heatmap columns, "
                          f"want {columns}")
        outside = [c for c in result["columns"]
                   if c["l"] < 0 or c["r"] > result["viewport"]]
        if outside:
            faults.append(f"{len(outside)} heatmap columns outside the "
                          f"viewport of {result['viewport']} px")
        if result["scrolling"]:
            faults.append(f"{result['scrolling']} heatmaps scroll sideways")
    sticky = result["sticky"]
    if sticky and sticky["scrolled"] > 0 and abs(sticky["moved"]) > 4:
        faults.append(f"heatmap row labels moved {sticky['moved']} px when "
                      "it scrolled sideways")
    return faults


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    chromium, page, width = argv[1], os.path.abspath(argv[2]), int(argv[3])
    columns = int(argv[argv.index("--columns") + 1]) \
        if "--columns" in argv else None
    sections = int(argv[argv.index("--sections") + 1]) \
        if "--sections" in argv else None
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(chromium, profile)
        try:
            target = browser.call("Target.createTarget", url="about:blank")
            browser.session = browser.call(
                "Target.attachToTarget", targetId=target["targetId"],
                flatten=True)["sessionId"]
            browser.call("Emulation.setDeviceMetricsOverride", width=width,
                         height=900, deviceScaleFactor=1,
                         mobile=width < 600)
            if "--print" in argv:
                browser.call("Emulation.setEmulatedMedia", media="print")
            browser.call("Page.enable")
            browser.call("Performance.enable")
            start = time.monotonic()
            browser.call("Page.navigate", url="file://" + page)
            browser.wait_for("Page.loadEventFired")
            browser.call("Page.captureScreenshot")
            seconds = time.monotonic() - start
            metrics = {m["name"]: m["value"] for m in
                       browser.call("Performance.getMetrics")["metrics"]}
            result = evaluate(browser, LAYOUT)
            if "--shot" in argv and result["shot"]:
                shot = result["shot"]
                image = browser.call(
                    "Page.captureScreenshot", captureBeyondViewport=True,
                    clip={"x": 0, "y": shot["top"], "width": width,
                          "height": shot["bottom"] - shot["top"],
                          "scale": 1})
                with open(argv[argv.index("--shot") + 1], "wb") as out:
                    out.write(base64.b64decode(image["data"]))
            if "--reading-order" in argv:
                result["faults"] += evaluate(browser, READING_ORDER)
        finally:
            browser.close()
    faults = check(result, columns, sections, "--matchups" in argv,
                   "--print" in argv, "--names-fit" in argv,
                   "--narrow" in argv)
    if "--recent" in argv:
        faults += check_insights(result,
                                 int(argv[argv.index("--recent") + 1]))
    for fault in faults[:20]:
        print(f"{page} at {width} px: {fault}", file=sys.stderr)
    if "--time" in argv:
        print(f"{seconds:.3f} {metrics['ProcessTime']:.3f}")
    else:
        print(f"{os.path.basename(page)} at {width} px: "
              f"{len(result['opponents'])} opponents, "
              f"{len(result['matchups'])} matchups, "
              f"{len(result['columns'])} heatmap columns, "
              f"{len(faults)} faults")
    return 1 if faults and "--time" not in argv else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
