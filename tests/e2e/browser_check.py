#!/usr/bin/env python3
"""Opens the results page of every bundled network in headless Chromium, without any network
access, and checks that it renders without a console message, that every number it carries
(data-json, data-value) equals the JSON document of the same run, and that the network picture,
the spine and every chart are there with marks in them; then the same for an uncertainty run of
one network (its tables of distributions and their strips).

    browser_check.py PROGRAM EXAMPLES_DIR [SCREENSHOT_DIR NETWORK...]"""
import html.parser, json, re, pathlib, subprocess, sys, tempfile

class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.values, self.stack, self.marks = [], [], {}
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "data-json" in a:
            self.values.append((a["data-json"], a.get("data-value", "")))
        if re.fullmatch(r"(picture|spine|levels|cycles|impact|uncertainty|uncertainty-levels)-\d+", a.get("id", "")):
            self.marks.setdefault(a["id"], 0)
            self.stack.append((tag, a["id"]))
        elif tag in ("rect", "path", "polygon", "ellipse"):
            for _, i in self.stack:
                self.marks[i] += 1
    def handle_endtag(self, tag):
        if self.stack and self.stack[-1][0] == tag:
            self.stack.pop()

def browse(page, out, screenshot=None):
    args = ["unshare", "-n", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
            "--enable-logging=stderr", "--v=0", "--hide-scrollbars"]
    if screenshot:
        args += ["--window-size=1200,1500", "--screenshot=" + str(screenshot)]
    else:
        args += ["--dump-dom"]
    r = subprocess.run(args + [page.as_uri()], capture_output=True, text=True, timeout=120)
    console = [l for l in r.stderr.splitlines() if ":CONSOLE" in l]
    return r.returncode, r.stdout, console

def at(doc, path):
    key = ""  # a key with a dot in it ("q2.5") comes in two parts
    for part in path.split("."):
        key = key + "." + part if key else part
        if isinstance(doc, list):
            doc, key = doc[int(key)], ""
        elif key in doc:
            doc, key = doc[key], ""
    if key:
        raise KeyError(path)
    return doc

def check(program, network, work, extra=(), charts=()):
    page, js = work / "page.html", work / "page.json"
    subprocess.run([program, str(network), "--html", str(page), "--json", str(js), "--no-report",
                    "-q", "--force", *extra], check=True)
    status, dom, console = browse(page, work)
    problems = [] if status == 0 else ["chromium ended with %d" % status]
    problems += console
    doc = json.loads(js.read_text())["networks"]
    parser = Page()
    parser.feed(dom)
    if not parser.values:
        problems.append("no numbers on the page")
    for path, value in parser.values:
        want = at(doc[0], path)
        if value == "" and want is None:
            continue
        if want is None or float(value) != float(want):
            problems.append("%s: page %s, JSON %s" % (path, value, want))
    cycles = at(doc[0], "cycles.wholeNetwork")
    for kind in ("picture", "spine", "levels", "impact") + tuple(charts) + (("cycles",) if cycles and cycles["found"] else ()):
        if parser.marks.get(kind + "-1", 0) == 0:
            problems.append("%s-1 missing or empty" % kind)
    return problems, len(parser.values)

def main():
    program, examples = sys.argv[1], pathlib.Path(sys.argv[2])
    failed = 0
    with tempfile.TemporaryDirectory() as d:
        work = pathlib.Path(d)
        if len(sys.argv) > 3:  # screenshots
            for network in sys.argv[4:]:
                name = pathlib.Path(sys.argv[3]) / (pathlib.Path(network).parent.name + ".png")
                subprocess.run([program, network, "--html", str(work / "s.html"), "--min-flow", "0.02",
                                "--no-report", "-q", "--force"], check=True)
                browse(work / "s.html", work, name)
            return 0
        for network in sorted(examples.glob("*.dat")):
            problems, count = check(program, network, work)
            for p in problems:
                print("%s: %s" % (network.name, p))
            print("%s: %d numbers compared, %s" % (network.name, count, "failed" if problems else "passed"))
            failed += bool(problems)
        # A few samples of a network without feeding cycles, from a fixed seed.
        sampled = ["--plus-minus", "10", "--samples", "200", "--chains", "2", "--burn-in", "50",
                   "--seed", "5"]
        problems, count = check(program, examples / "oyster.dat", work, sampled,
                                ("uncertainty", "uncertainty-levels"))
        if count < 6 * 50:
            problems.append("only %d numbers on the page of the uncertainty run" % count)
        for p in problems:
            print("oyster.dat, sampled: %s" % p)
        print("oyster.dat, sampled: %d numbers compared, %s" % (count, "failed" if problems else "passed"))
        failed += bool(problems)
    print("%d passed, %d failed" % (len(list(examples.glob("*.dat"))) + 1 - failed, failed))
    return 1 if failed else 0

sys.exit(main())
