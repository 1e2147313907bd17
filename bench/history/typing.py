#!/usr/bin/env python3
"""Key press → suggestions on the screen, in the real program: a history database of
`build/history_bench` (FOLDER/history.sqlite, e.g. 300,000 visits of 100,000 distinct pages)
copied into a fresh program folder; the address box focused (Ctrl+L), then the letters of
some phrases pressed by XTest one at a time, 400 ms apart. After each key the strip of the
screen below the address box (where the suggestions open) is read every half millisecond:
"first" is when it first changed after the key, "settled" when it last changed within 400 ms
(the history's answer in). A key after which nothing changed there is not counted.

Usage: bench/history/typing.py FOLDER [--rounds N]
Needs: Xvfb, build/olumetta (scripts/build) and the shared bench folder beside the checkout.
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SHARED = os.environ.get("BENCH_SHARED") or os.path.join(ROOT, "..", "shared", "bench")
sys.path.insert(0, SHARED)
sys.path.insert(0, os.path.join(ROOT, "bench"))
import benchlib  # noqa: E402
from xscreen import Screen, private_display  # noqa: E402

PHRASES = ["weather 12", "site42", "docs news", "example/wiki/77", "no such words", "mail"]
XK = {"Control_L": 0xFFE3, "Escape": 0xFF1B}


def keysym(ch):
    return XK[ch] if ch in XK else ord(ch)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("folder")
    ap.add_argument("--rounds", type=int, default=2)
    a = ap.parse_args()
    os.environ.setdefault("OLUMETTA_DIR", os.path.join(ROOT, "build", "olumetta"))
    work = tempfile.mkdtemp(prefix="olumetta-typing-")
    xvfb = private_display()
    b = benchlib.Browser("olumetta", work)
    data = os.path.join(os.path.dirname(b.bin), "数据")
    for suffix in ("", "-wal"):
        src = os.path.join(a.folder, "history.sqlite" + suffix)
        if os.path.exists(src):
            shutil.copy(src, os.path.join(data, "history.sqlite" + suffix))
    s = Screen()
    first, settled = [], []
    try:
        b.start(["about:blank"])
        time.sleep(6)
        b.normalize_windows()
        time.sleep(2)
        strip = (150, 112, 800, 200)  # below the address box of a frame at the screen's corner
        for _ in range(a.rounds):
            for phrase in PHRASES:
                s.keys(keysym("Control_L"), keysym("l"))
                time.sleep(0.4)
                for ch in phrase:
                    before = s.region(*strip)
                    t0 = time.monotonic()
                    s.keys(keysym(ch))
                    seen, last = None, before
                    while time.monotonic() - t0 < 0.4:
                        now = s.region(*strip)
                        if now != last:
                            seen = seen or time.monotonic() - t0
                            settle = time.monotonic() - t0
                            last = now
                        time.sleep(0.0005)
                    if seen is not None:
                        first.append(seen * 1000)
                        settled.append(settle * 1000)
                        if os.environ.get("TYPING_DETAIL"):
                            print("%-16s %6.1f %6.1f ms" % (phrase[:phrase.index(ch) + 1],
                                                            seen * 1000, settle * 1000))
                s.keys(keysym("Escape"))
                time.sleep(0.3)
    finally:
        b.stop()
        b.cleanup()
        xvfb.kill()
        shutil.rmtree(work, ignore_errors=True)

    def row(name, xs):
        xs = sorted(xs)
        print("| %s | %d | %.1f ms | %.1f ms | %.1f ms |" % (
            name, len(xs), statistics.median(xs), xs[len(xs) * 9 // 10], xs[-1]))
    print("\n| key press → suggestions | keys | median | 90th | slowest |")
    print("|---|---|---|---|---|")
    row("first change", first)
    row("settled", settled)


if __name__ == "__main__":
    main()
