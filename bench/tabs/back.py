#!/usr/bin/env python3
"""How soon a tab left behind is back on the screen: two tabs of one colour each (magenta first,
green in front); Ctrl+1 and Ctrl+2 by XTest, the screen's centre read by XGetImage every
millisecond until it shows the other colour. "quick": back and forth at once, within the delay
before a tab gives back its view's images; "rested": after the green tab has been in front for
longer than that delay (the magenta one's images given back). Also the slowest gap between
two changes of the centre seen while switching quickly (a blank frame would show there).

Usage: bench/tabs/back.py [--rounds N] [--rest S]
Needs: Xvfb, build/olumetta (scripts/build) and the shared bench folder beside the checkout.
"""
import argparse
import http.server
import os
import statistics
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SHARED = os.environ.get("BENCH_SHARED") or os.path.join(ROOT, "..", "shared", "bench")
sys.path.insert(0, SHARED)
import benchlib  # noqa: E402
sys.path.insert(0, os.path.join(ROOT, "bench"))
from xscreen import GREEN, MAGENTA, Screen, private_display  # noqa: E402

PAGES = {"/m": b"#ff00ff", "/g": b"#00ff00"}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        colour = PAGES.get(self.path, b"#fff")
        body = b"<html><body style='background:%s'>tab</body></html>" % colour
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *a):
        pass


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--rest", type=float, default=35)
    a = ap.parse_args()
    os.environ.setdefault("OLUMETTA_DIR", os.path.join(ROOT, "build", "olumetta"))
    work = tempfile.mkdtemp(prefix="olumetta-back-")
    xvfb = private_display()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d" % server.server_address[1]
    b = benchlib.Browser("olumetta", work)
    s = Screen()
    quick, rested, blank = [], [], []
    try:
        b.start([url + "/m"])
        time.sleep(5)
        b.handoff(url + "/g")[1].wait(30)
        b.normalize_windows()
        time.sleep(3)
        at = (640, 420)
        XK_Control_L, XK_1, XK_2 = 0xFFE3, 0x31, 0x32
        for _ in range(a.rounds):
            for key, colour in ((XK_1, MAGENTA), (XK_2, GREEN)) * 3:
                s.keys(XK_Control_L, key)
                took, other = s.wait_for(colour, at)
                quick.append(took)
                blank.append(other)
                time.sleep(0.3)
            time.sleep(a.rest)  # green in front: magenta gives back its images
            s.keys(XK_Control_L, XK_1)
            took, _ = s.wait_for(MAGENTA, at)
            rested.append(took)
            time.sleep(0.3)
            s.keys(XK_Control_L, XK_2)
            s.wait_for(GREEN, at)
            print("round: quick %s, rested %s" % (
                ["%.0f" % (q * 1000) if q else "-" for q in quick[-6:]],
                "%.0f ms" % (took * 1000) if took else "never"), flush=True)
    finally:
        b.stop()
        b.cleanup()
        xvfb.kill()
    ok = [q for q in quick if q is not None]
    okr = [r for r in rested if r is not None]
    print("\n| return | median | slowest | missed |")
    print("|---|---|---|---|")
    print("| quick (within the delay) | %.0f ms | %.0f ms | %d |" % (
        statistics.median(ok) * 1000, max(ok) * 1000, len(quick) - len(ok)))
    if okr:
        print("| after %.0f s behind | %.0f ms | %.0f ms | %d |" % (
            a.rest, statistics.median(okr) * 1000, max(okr) * 1000, len(rested) - len(okr)))
    print("longest stretch of another colour at the centre while switching quickly: %.0f ms"
          % (max(blank) * 1000))


if __name__ == "__main__":
    main()
