#!/usr/bin/env python3
"""CPU and context switches at rest: ours, the minimal engine program (the floor) and
Chromium, each with one local page open, side by side in one run under a private Xvfb. After
a settling time, the whole process tree's CPU time and the context switches of all its
threads (and of the main thread alone) are counted over the window.

Usage: bench/idle/run.py [--seconds N] [--settle N] [--poll]
  --poll: ours also with OLUMETTA_KEY_POLL=1 (F2 and F4 read by the 10 ms poll, as before).
Needs: Xvfb, build/olumetta (scripts/build), build/floor/qtwb (bench/run-browser-bench builds
it), Chromium where installed, and the shared bench folder beside the checkout.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SHARED = os.environ.get("BENCH_SHARED") or os.path.join(ROOT, "..", "shared", "bench")
sys.path.insert(0, SHARED)
import benchlib  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")


def counts(pids):
    """CPU seconds of the tree, and the context switches of each of its threads (by task id;
    the first pid's own is the main thread)."""
    cpu, switches = 0.0, {}
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            cpu += (int(fields[11]) + int(fields[12])) / TICK
            for tid in os.listdir(f"/proc/{pid}/task"):
                with open(f"/proc/{pid}/task/{tid}/status") as f:
                    n = sum(int(line.split()[1]) for line in f
                            if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
                switches[int(tid)] = n
        except (FileNotFoundError, ProcessLookupError, IndexError):
            pass
    return cpu, switches


def measure(name, page, seconds, settle, work, extra_env=None):
    b = benchlib.Browser(name, work)
    if extra_env:
        env = b.env()
        env.update(extra_env)
        b.env = lambda: env
    b.start([page])
    try:
        time.sleep(settle)
        pids = sorted(b.pids(), key=lambda p: p != b.proc.pid)
        c0, s0 = counts(pids)
        time.sleep(seconds)
        c1, s1 = counts(pids)
        # Threads that lived through the window (a thread that ends takes its count along).
        both = s0.keys() & s1.keys()
        switched = sum(s1[t] - s0[t] for t in both)
        main = s1.get(pids[0], 0) - s0.get(pids[0], 0)
        return 100 * (c1 - c0) / seconds, switched / seconds, main / seconds, len(pids)
    finally:
        b.stop()
        b.cleanup()


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--settle", type=int, default=15)
    ap.add_argument("--poll", action="store_true")
    a = ap.parse_args()
    work = tempfile.mkdtemp(prefix="olumetta-idle-")
    page = os.path.join(work, "page.html")
    with open(page, "w") as f:
        f.write("<!DOCTYPE html><title>Idle</title><p>A page that does nothing.</p>")
    page = "file://" + page
    os.environ.setdefault("OLUMETTA_DIR", os.path.join(ROOT, "build", "olumetta"))
    os.environ.setdefault("QTWB_BIN", os.path.join(ROOT, "build", "floor", "qtwb"))
    xvfb = subprocess.Popen(["Xvfb", ":173", "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = ":173"
    time.sleep(1)
    runs = [("olumetta", "ours", None)]
    if a.poll:
        runs.append(("olumetta", "ours, 10 ms poll", {"OLUMETTA_KEY_POLL": "1"}))
    runs.append(("qtwb", "floor", None))
    if shutil.which(os.environ.get("CHROMIUM_BIN", "chromium")):
        runs.append(("chromium", "Chromium", None))
    try:
        print(f"one idle local page, {a.seconds} s after {a.settle} s settling")
        for name, label, env in runs:
            if not benchlib.which(name):
                print(f"{label:18}: not found")
                continue
            cpu, sw, main_sw, n = measure(name, page, a.seconds, a.settle, work, env)
            print(f"{label:18}: CPU {cpu:5.2f} %, context switches {sw:7.1f}/s "
                  f"(main thread {main_sw:6.1f}/s), {n} processes")
    finally:
        xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
