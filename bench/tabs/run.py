#!/usr/bin/env python3
"""Many tabs of one large documentation site (Node.js's API pages from /usr/share/doc/nodejs,
served on loopback with an onload beacon added to each page): the first page at start, the
other 30 handed to the running browser one after another, each after the last one's onload.
Then, after a settling time, the PSS of the whole process tree; for ours with a tab limit also
how long a rested tab takes to come back (Ctrl+1 to the first tab's onload).

Variants: ours as shipped (at most 12 tabs in memory), ours with TabsInMemory=6, two process
models for the study (see VARIANTS), the minimal engine program (the floor), Chromium where
installed. Rounds alternate the order. TABS_DETAIL=1 prints each process's PSS.

With --restore N instead: ours after a crash with N tabs in its session file (the pages
again and again), 恢复 clicked in the bar: the pages the site was asked for, the front tab's
onload, and after the settling time the processes and PSS of the tree.

Usage: bench/tabs/run.py [--rounds N] [--tabs N] [--settle S] [--variants a,b,...]
       bench/tabs/run.py --restore N [--settle S]
Needs: Xvfb, xdotool, ImageMagick's import, nodejs-doc, build/olumetta (scripts/build), build/floor/qtwb
(bench/run-browser-bench builds it) and the shared bench folder beside the checkout.
"""
import argparse
import http.server
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SHARED = os.environ.get("BENCH_SHARED") or os.path.join(ROOT, "..", "shared", "bench")
sys.path.insert(0, SHARED)
import benchlib  # noqa: E402

DOCS = "/usr/share/doc/nodejs/api"
BEACON = (b"<script>addEventListener('load',()=>navigator.sendBeacon('/__onload'+"
          b"location.pathname))</script>")


class Site(http.server.ThreadingHTTPServer):
    def __init__(self):
        self.loads = []  # (path, monotonic time)
        self.pages = []  # the pages asked for
        self.cond = threading.Condition()
        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def url(self, name):
        return "http://127.0.0.1:%d/%s" % (self.server_address[1], name)

    def wait(self, name, after, timeout=60):
        end = time.monotonic() + timeout
        with self.cond:
            while True:
                for path, t in self.loads:
                    if path == "/" + name and t >= after:
                        return t
                left = end - time.monotonic()
                if left <= 0:
                    return None
                self.cond.wait(left)


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *a, **k):
        super().__init__(*a, directory=DOCS, **k)

    def log_message(self, *a):
        pass

    def do_POST(self):
        if self.path.startswith("/__onload"):
            with self.server.cond:
                self.server.loads.append((self.path[len("/__onload"):], time.monotonic()))
                self.server.cond.notify_all()
        self.send_response(204)
        self.end_headers()

    def do_GET(self):
        path = os.path.join(DOCS, self.path.lstrip("/").split("?")[0])
        if not path.endswith(".html") or not os.path.isfile(path):
            return super().do_GET()
        with self.server.cond:
            self.server.pages.append(self.path)
        with open(path, "rb") as f:
            body = f.read().replace(b"</body>", BEACON + b"</body>", 1)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


VARIANTS = {
    "ours": ("olumetta", None, {}),
    "ours-6": ("olumetta", "6", {}),
    # The process-model study: tabs of a site sharing processes once two run (sites may then
    # share too), and sites kept apart by the engine's site isolation with the same limit.
    "ours-limit2": ("olumetta", None,
                    {"QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu --renderer-process-limit=2"}),
    "ours-isolated1": ("olumetta", None, {"QTWEBENGINE_CHROMIUM_FLAGS":
                       "--disable-gpu --site-per-process --renderer-process-limit=1"}),
    "floor": ("qtwb", None, {}),
    "chromium": ("chromium", None, {}),
}


def frame_of(pid):
    """The program's largest visible window."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout.split()
    best = None
    for w in out:
        g = subprocess.run(["xdotool", "getwindowgeometry", "--shell", w],
                           capture_output=True, text=True).stdout
        v = dict(line.split("=") for line in g.split())
        area = int(v["WIDTH"]) * int(v["HEIGHT"])
        if best is None or area > best[0]:
            best = (area, w)
    return best and best[1]


def run(variant, site, pages, settle, work):
    name, limit, extra = VARIANTS[variant]
    b = benchlib.Browser(name, work)
    if limit:
        ini = os.path.join(os.path.dirname(b.bin), "config.ini")
        with open(ini, "rb") as f:
            data = f.read()
        with open(ini, "wb") as f:
            f.write(data.replace(b"[Setting]\r\n", b"[Setting]\r\nTabsInMemory=%s\r\n" %
                                 limit.encode(), 1))
    env = b.env()
    env.update(extra)
    b.env = lambda: env
    res = {"variant": variant}
    try:
        t0 = b.start([site.url(pages[0])])
        if site.wait(pages[0], t0) is None:
            return dict(res, error="no first onload")
        for p in pages[1:]:
            t1, proc = b.handoff(site.url(p))
            if site.wait(p, t1) is None:
                return dict(res, error="no onload of " + p)
            try:
                proc.wait(30)
            except subprocess.TimeoutExpired:
                proc.kill()
        if shutil.which("xdotool"):
            b.normalize_windows()
        # The browser process alone, soon after the last hand-off and after the settling time:
        # what the tabs behind keep there (their views' images).
        time.sleep(min(5, settle))
        res["anon_soon"] = anonymous(b.proc.pid)
        time.sleep(max(0, settle - 5))
        res["anon"] = anonymous(b.proc.pid)
        m = b.memory()
        if os.environ.get("TABS_DETAIL"):
            for pid in b.pids():
                one = benchlib.tree_memory([pid])
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    kind = [x for x in f.read().split(b"\0") if x.startswith(b"--type=")]
                print(variant, pid, "%.0f MiB" % (one["pss"] / 1024), kind, file=sys.stderr)
        res.update(pss=m["pss"] / 1024, uss=m["uss"] / 1024, nproc=m["nproc"])
        if name == "olumetta" and limit:
            frame = frame_of(b.proc.pid)
            if frame:  # the first tab, rested longest; with 31 the strip scrolls it away
                subprocess.run(["xdotool", "windowfocus", "--sync", frame])
                t2 = time.monotonic()
                subprocess.run(["xdotool", "key", "--window", frame, "ctrl+1"])
                back = site.wait(pages[0], t2, 10)
                res["back_s"] = None if back is None else back - t2
        return res
    finally:
        b.stop()
        b.cleanup()


def anonymous(pid):
    """The process's anonymous memory, MiB."""
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            if line.startswith("Anonymous:"):
                return int(line.split()[1]) / 1024
    return 0


def session_file(urls):
    """The program's session file: these tabs, the first in front, none offered before."""
    def text(s):
        b = s.encode("utf-16-be")
        return struct.pack(">I", len(b)) + b
    out = struct.pack(">II", 0x4F4C5353, 2) + text("bench") + struct.pack(">ii", len(urls), 0)
    for u in urls:
        out += text(u) + text(u.rsplit("/", 1)[-1]) + struct.pack(">Ii?", 0, 100, False)
    return out + struct.pack(">i", 0)


def restore_button(frame):
    """Where 恢复 is: the first 30 pixels that are not the bar's, on the bar under the strip."""
    g = subprocess.run(["xdotool", "getwindowgeometry", "--shell", frame],
                       capture_output=True, text=True).stdout
    v = {k: int(x) for k, x in (line.split("=") for line in g.split()) if k != "WINDOW"}
    shot = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True).stdout
    fields = shot.split(maxsplit=4)
    width = int(fields[1])
    rgb = fields[4]
    bar = b"\xff\xf4\xce"
    def at(x, y):
        return rgb[(y * width + x) * 3:(y * width + x) * 3 + 3]
    left = v["X"] + 8
    for y in range(v["Y"], v["Y"] + v["HEIGHT"] - 12):
        if any(at(left + i, y) != bar for i in range(3)):
            continue
        run = 0
        for x in range(left, v["X"] + v["WIDTH"]):
            run = run + 1 if at(x, y + 12) != bar else 0
            if run == 30:
                return x - 10, y + 12
    return None


def restore(site, pages, count, settle, work):
    b = benchlib.Browser("olumetta", work)
    data = os.path.join(os.path.dirname(b.bin), "数据")
    urls = [site.url("%s?%d" % (pages[i % len(pages)], i)) for i in range(count)]
    with open(os.path.join(data, "session.dat"), "wb") as f:
        f.write(session_file(urls))
    with open(os.path.join(data, "session.running"), "w") as f:
        f.write("1")
    res = {"variant": "ours, restore of %d" % count}
    try:
        b.start([])
        button = None
        end = time.monotonic() + 60
        while button is None and time.monotonic() < end:
            time.sleep(0.5)
            frame = frame_of(b.proc.pid)
            button = frame and restore_button(frame)
        if button is None:
            return dict(res, error="no restore bar")
        with site.cond:
            site.pages.clear()
        t0 = time.monotonic()
        subprocess.run(["xdotool", "mousemove", str(button[0]), str(button[1]), "click", "1"])
        front = site.wait(pages[0], t0)
        if front is None:
            return dict(res, error="the front tab did not load")
        time.sleep(settle)
        m = b.memory()
        with site.cond:
            asked = len(site.pages)
        return dict(res, front_s=front - t0, pages_asked=asked, pss=m["pss"] / 1024,
                    nproc=m["nproc"])
    finally:
        b.stop()
        b.cleanup()


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--restore", type=int, default=0)
    ap.add_argument("--rounds", type=int, default=2)
    ap.add_argument("--tabs", type=int, default=31)
    ap.add_argument("--settle", type=int, default=20)
    ap.add_argument("--variants", default="ours,ours-6,floor,chromium")
    a = ap.parse_args()
    variants = [v for v in a.variants.split(",")
                if VARIANTS[v][0] != "chromium" or shutil.which("chromium")]
    pages = sorted(f for f in os.listdir(DOCS) if f.endswith(".html") and f != "all.html")
    pages = pages[:a.tabs]
    os.environ.setdefault("OLUMETTA_DIR", os.path.join(ROOT, "build", "olumetta"))
    os.environ.setdefault("QTWB_BIN", os.path.join(ROOT, "build", "floor", "qtwb"))
    work = tempfile.mkdtemp(prefix="olumetta-tabs-")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp"], stdout=subprocess.PIPE)
    os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    site = Site()
    results = {v: [] for v in variants}
    if a.restore:
        try:
            res = restore(site, pages, a.restore, a.settle, work)
        finally:
            xvfb.kill()
            shutil.rmtree(work, ignore_errors=True)
        print(res)
        return
    try:
        for r in range(a.rounds):
            for v in (variants if r % 2 == 0 else variants[::-1]):
                res = run(v, site, pages, a.settle, work)
                results[v].append(res)
                print(res, flush=True)
    finally:
        xvfb.kill()
        shutil.rmtree(work, ignore_errors=True)
    chromium = [x["pss"] for x in results.get("chromium", []) if "pss" in x]
    print("\n| %d tabs | PSS of the tree | per tab | USS | processes | × Chromium |"
          " browser process anonymous, 5 s / %d s | back after Ctrl+1 |" % (len(pages), a.settle))
    print("|---|---|---|---|---|---|---|---|")
    for v in variants:
        pss = [x["pss"] for x in results[v] if "pss" in x]
        if not pss:
            print("| %s | failed: %s |" % (v, results[v][0].get("error")))
            continue
        med = statistics.median(pss)
        back = [x["back_s"] for x in results[v] if x.get("back_s") is not None]
        uss = statistics.median(x["uss"] for x in results[v] if "uss" in x)
        soon = statistics.median(x["anon_soon"] for x in results[v] if "pss" in x)
        late = statistics.median(x["anon"] for x in results[v] if "pss" in x)
        print("| %s | %.0f MiB | %.1f MiB | %.0f MiB | %d | %s | %.0f / %.0f MiB | %s |" % (
            v, med, med / len(pages), uss, results[v][-1]["nproc"],
            "×%.2f" % (med / statistics.median(chromium)) if chromium else "", soon, late,
            "%.2f s (max %.2f)" % (statistics.median(back), max(back)) if back else ""))


if __name__ == "__main__":
    main()
