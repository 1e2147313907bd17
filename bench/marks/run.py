#!/usr/bin/env python3
"""Where a cold start's time goes, ours beside the floor's: both programs print the same
phase marks on the monotonic clock under OLUMETTA_TIMING (the floor's copy here with our
marking code), placed after the spawn; medians of N alternating starts of the harness's test page.

Usage: bench/marks/run.py [--runs N] [--floor-renderer asis|software]
Needs DISPLAY, QTWB_BIN=build/marks/qtwb-marks, OLUMETTA_DIR (see bench/run-browser-bench).
"""
import argparse
import os
import re
import socketserver
import statistics
import sys
import tempfile

SHARED = os.environ.get("BENCH_SHARED") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "bench")
sys.path.insert(0, SHARED)
import benchlib  # noqa: E402
from benchserver import BenchServer  # noqa: E402

MARK = re.compile(rb"^olumetta: +\d+ ms  (.+?) +\(monotonic (\d+) ms\)$", re.M)
PHASES = ["main", "application ready", "profile ready", "frame built", "tab created",
          "navigate called", "frame shown", "load started", "onload"]
# A browser stopped mid-request resets its connection: not the server's fault to print.
socketserver.BaseServer.handle_error = lambda *_: None
SOFTWARE = {"QT_QUICK_BACKEND": "software", "QT_XCB_GL_INTEGRATION": "none"}


def one_start(name, workdir, srv, run, extra_env, timeout=60):
    b = benchlib.Browser(name, workdir)
    base_env = b.env
    b.env = lambda: dict(base_env(), OLUMETTA_TIMING="1", **extra_env)
    bid = "%s-%s" % (name, run)
    t0 = b.start([srv.page_url(bid)])
    e = srv.beacons.wait(bid, timeout)
    b.stop()
    with open(os.path.join(b.dir, "output.log"), "rb") as f:
        log = f.read()
    b.cleanup()
    marks = {m.group(1).decode(): int(m.group(2)) - t0 * 1000 for m in MARK.finditer(log)}
    if e is not None:
        marks["onload"] = (e["mono"] - t0) * 1000
    return marks


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--runs", type=int, default=9)
    ap.add_argument("--floor-renderer", choices=("asis", "software"), default="software")
    a = ap.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY is not set (run under Xvfb)")
    names = ["qtwb", "olumetta"]
    env = {"qtwb": SOFTWARE if a.floor_renderer == "software" else {}, "olumetta": {}}
    workdir = tempfile.mkdtemp(prefix="bench-marks-")
    srv = BenchServer().start()
    runs = {n: [] for n in names}
    try:
        for n in names:  # warm-up: the page cache
            one_start(n, workdir, srv, "warmup", env[n])
        for run in range(a.runs):
            for n in names if run % 2 == 0 else names[::-1]:
                runs[n].append(one_start(n, workdir, srv, run, env[n]))
    finally:
        srv.stop()
    print("ms after the spawn, median of %d cold starts (floor renderer: %s)"
          % (a.runs, a.floor_renderer))
    print("%-20s %10s %10s" % ("phase", "floor", "ours"))
    for p in PHASES:
        cells = []
        for n in names:
            v = [m[p] for m in runs[n] if p in m]
            cells.append("%10.0f" % statistics.median(v) if v else "%10s" % "-")
        print("%-20s %s" % (p, " ".join(cells)))


if __name__ == "__main__":
    main()
