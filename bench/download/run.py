#!/usr/bin/env python3
"""Download throughput of one download task (with its window under Xvfb) against
`curl -o`, the same file from nginx on 127.0.0.1, in alternating runs; and the task's
peak memory for a small and a large file, which must not grow with the file's size.

Then a loop of downloads cut once each at a random point by a server that honours ranges:
each must be resumed with a ranged request and arrive byte for byte. Before it, a loop of
downloads from a server that answers in chunked encoding, chunk sizes from
8 KiB to 8 MiB, fast and in bursts: every file must arrive byte for byte.

Every task process keeps its program folder in a fresh copy of the template, and each of
its downloads must have reached the server (nginx's log, the test servers' own count).

Usage: bench/download/run.py [--runs N] [--size-mib N] [--chunked N] [--resume N] [--no-chromium]
                             [--work DIR] [--build DIR]
Needs: nginx, curl, Xvfb, /usr/bin/time, and download_bench with template/ beside it in the
build folder (build/ by default; scripts/build).
"""
import argparse
import hashlib
import http.server
import os
import random
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
BENCH = None  # download_bench in the build folder
SHARED = os.environ.get("BENCH_SHARED") or os.path.join(ROOT, "..", "shared", "bench")


def chromium_seconds(url, size, work):
    """Chromium's own download of url (headless, into a preset folder), timed by the shared
    harness from its .crdownload file's appearance to the rename: its start-up is not counted."""
    sys.path.insert(0, SHARED)
    import download as shared  # noqa: E402  the shared harness's Chromium runner
    dest = os.path.join(work, "chromium-dest")
    shutil.rmtree(dest, ignore_errors=True)
    os.makedirs(dest)
    seconds, rc, _ = shared.run_chromium(url, dest, work, size, "headless")
    shutil.rmtree(dest, ignore_errors=True)
    if rc != 0:
        sys.exit("chromium failed")
    return seconds


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_nginx(work, port):
    os.makedirs(os.path.join(work, "root"), exist_ok=True)
    os.makedirs(os.path.join(work, "tmp"), exist_ok=True)
    user = "user root;\n" if os.geteuid() == 0 else ""
    conf = os.path.join(work, "nginx.conf")
    with open(conf, "w") as f:
        f.write(f"""{user}daemon off; master_process off; worker_processes 1;
pid {work}/nginx.pid; error_log {work}/error.log;
events {{ worker_connections 64; }}
http {{ sendfile on; default_type application/octet-stream;
  log_format bench '$request_method $uri $status $body_bytes_sent';
  access_log {work}/access.log bench;
  client_body_temp_path {work}/tmp; proxy_temp_path {work}/tmp; fastcgi_temp_path {work}/tmp;
  uwsgi_temp_path {work}/tmp; scgi_temp_path {work}/tmp;
  server {{ listen 127.0.0.1:{port}; root {work}/root; }} }}
""")
    proc = subprocess.Popen(["nginx", "-c", conf, "-p", work, "-e", f"{work}/error.log"])
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), 0.2).close()
            return proc
        except OSError:
            time.sleep(0.05)
    proc.kill()
    sys.exit("nginx did not start")


def log_size(work):
    path = os.path.join(work, "access.log")
    return os.path.getsize(path) if os.path.exists(path) else 0


def reached(work, since, path, size):
    """Whether nginx served path whole (200, size bytes) after its log held since bytes; the
    line is written once the last byte is sent, a moment before the client has it all."""
    for _ in range(40):
        with open(os.path.join(work, "access.log")) as f:
            f.seek(since)
            if any(line.split() == ["GET", path, "200", str(size)] for line in f):
                return True
        time.sleep(0.05)
    return False


def make_file(path, mib):
    if os.path.exists(path) and os.path.getsize(path) == mib << 20:
        return
    with open(path, "wb") as f:
        for _ in range(mib):
            f.write(os.urandom(1 << 20))


CHUNKS = [8 << 10, 64 << 10, 600 << 10, 1 << 20, 3 << 20, 8 << 20]


def chunked_server(path):
    """Serves path at /<n> in chunked encoding, without a length: request n picks the chunk
    size (CHUNKS[n % 6]) and, for odd n // 6, pauses between chunks (a bursty server)."""
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            n = int(self.path.strip("/"))
            self.server.asked.append(n)
            chunk, bursty = CHUNKS[n % len(CHUNKS)], (n // len(CHUNKS)) % 2 == 1
            rnd = random.Random(n)
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Transfer-Encoding", "chunked")
            self.send_header("Connection", "close")
            self.end_headers()
            since_pause = 0
            with open(path, "rb") as f:
                while data := f.read(chunk):
                    self.wfile.write(b"%x\r\n" % len(data) + data + b"\r\n")
                    since_pause += len(data)
                    if bursty and since_pause >= 4 << 20:  # a pause every 4 MiB or so
                        time.sleep(rnd.random() * 0.2)
                        since_pause = 0
            self.wfile.write(b"0\r\n\r\n")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.asked = []
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def cutting_server(path):
    """Serves path at /<n> with ranges and a version (ETag): a request for the whole file is
    cut at a point chosen by n; a request for the rest (Range, If-Range) gets it all. The
    requests are kept in server.asked, the ranges asked for in server.ranges."""
    size = os.path.getsize(path)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            n = int(self.path.strip("/"))
            self.server.asked.append(n)
            asked = self.headers.get("Range", "")
            start = int(asked[6:].split("-")[0]) if asked.startswith("bytes=") else 0
            if start and self.headers.get("If-Range", '"v1"') != '"v1"':
                start = 0
            cut = random.Random(n).randrange(1, size) if start == 0 else size
            if start:
                self.server.ranges.append((n, start))
            self.send_response(206 if start else 200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Accept-Ranges", "bytes")
            self.send_header("ETag", '"v1"')
            self.send_header("Content-Length", str(size - start))
            if start:
                self.send_header("Content-Range", f"bytes {start}-{size - 1}/{size}")
            self.send_header("Connection", "close")
            self.end_headers()
            with open(path, "rb") as f:
                f.seek(start)
                left = cut - start
                while left > 0 and (data := f.read(min(left, 1 << 20))):
                    self.wfile.write(data)
                    left -= len(data)
            self.wfile.flush()
            self.close_connection = True

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.asked, server.ranges = [], []
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def resume_loop(count, source, out_dir, env):
    """Each download cut once at a point of its own, resumed by the task with a ranged
    request from where it stood: every file must be the source, byte for byte."""
    server = cutting_server(source)
    want, failed = sha256(source), 0
    try:
        for n in range(count):
            target = os.path.join(out_dir, "resumed.bin")
            _, _, rc = timed([BENCH, f"http://127.0.0.1:{server.server_port}/{n}", target], env)
            same = rc == 0 and n in server.asked and os.path.exists(target) and sha256(target) == want
            failed += not same
            if os.path.exists(target):
                os.remove(target)
            if not same:
                print(f"  resume run {n}: FAILED (exit {rc}, {server.asked.count(n)} requests)")
    finally:
        server.shutdown()
    resumed = len({n for n, _ in server.ranges})
    print(f"cutting server : {count} downloads of {os.path.getsize(source) >> 20} MiB, each cut at a "
          f"point of its own: {count - failed} byte-identical, {resumed} resumed with a range")
    return failed == 0 and resumed == count


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        while block := f.read(1 << 20):
            h.update(block)
    return h.hexdigest()


def chunked_loop(count, source, out_dir, env):
    server = chunked_server(source)
    want, failed = sha256(source), 0
    seconds = []
    try:
        for n in range(count):
            target = os.path.join(out_dir, "chunked.bin")
            s, _, rc = timed([BENCH, f"http://127.0.0.1:{server.server_port}/{n}", target], env)
            same = rc == 0 and n in server.asked and os.path.exists(target) and sha256(target) == want
            failed += not same
            seconds.append(s)
            if os.path.exists(target):
                os.remove(target)
            if not same:
                print(f"  chunked run {n} ({CHUNKS[n % len(CHUNKS)] >> 10} KiB chunks): FAILED "
                      f"(exit {rc}, {server.asked.count(n)} requests)")
    finally:
        server.shutdown()
    mib = os.path.getsize(source) >> 20
    print(f"chunked server : {count} downloads of {mib} MiB, chunks 8 KiB-8 MiB, fast and bursty: "
          f"{count - failed} byte-identical, median {statistics.median(seconds):.2f} s")
    return failed == 0


def timed(cmd, env=None, output=None):
    """Wall seconds and peak RSS (KiB) of a whole command, from GNU time; its standard
    output into the list output."""
    out = subprocess.run(["/usr/bin/time", "-f", "%e %M"] + cmd, env=env,
                         capture_output=True, text=True)
    last = out.stderr.strip().splitlines()[-1].split()
    if output is not None:
        output.append(out.stdout)
    return float(last[0]), int(last[1]), out.returncode


def start_xvfb():
    """A private Xvfb on a display it finds free itself (-displayfd); its process and
    display."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


def main():
    global BENCH
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--size-mib", type=int, default=1024)
    ap.add_argument("--chunked", type=int, default=12, help="downloads from the chunked server")
    ap.add_argument("--resume", type=int, default=20, help="downloads cut once and resumed")
    ap.add_argument("--no-chromium", dest="chromium", action="store_false")
    ap.add_argument("--work", help="a folder for the server and its files (default: a fresh "
                    "temporary one); a source file of the right size there is used again")
    ap.add_argument("--build", default=os.path.join(ROOT, "build"), help="the build folder")
    a = ap.parse_args()
    BENCH = os.path.join(os.path.abspath(a.build), "download_bench")
    if not os.access(BENCH, os.X_OK):
        sys.exit(f"{BENCH} is missing: run scripts/build first")
    a.chromium = a.chromium and shutil.which(os.environ.get("CHROMIUM_BIN", "chromium"))
    fresh = not a.work
    a.work = tempfile.mkdtemp(prefix="olumetta-download-bench-") if fresh else os.path.abspath(a.work)
    os.makedirs(a.work, exist_ok=True)
    if os.path.exists(os.path.join(a.work, "access.log")):
        os.remove(os.path.join(a.work, "access.log"))
    port = free_port()
    nginx = start_nginx(a.work, port)
    xvfb, display = start_xvfb()
    # The task processes' own home: nothing of the user who runs the bench is read.
    home = os.path.join(a.work, "home")
    os.makedirs(home, exist_ok=True)
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/.config",
               XDG_DATA_HOME=home + "/.local/share", XDG_CACHE_HOME=home + "/.cache")
    for proxy in ("http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"):
        env.pop(proxy, None)
    out_dir = os.path.join(a.work, "out")
    os.makedirs(out_dir, exist_ok=True)
    try:
        big = os.path.join(a.work, "root", "big.bin")
        small = os.path.join(a.work, "root", "small.bin")
        make_file(big, a.size_mib)
        make_file(small, max(1, a.size_mib // 10))
        url = f"http://127.0.0.1:{port}/"
        size_mib = a.size_mib
        ours, curl, ours_rss, engine, engine_offer, chromium = [], [], [], [], [], []
        timed(["curl", "-s", "-o", os.path.join(out_dir, "warm"), url + "big.bin"], env)  # page cache
        for i in range(a.runs):
            order = ("curl", "ours", "engine") + (("chromium",) if a.chromium else ())
            for who in order if i % 2 == 0 else order[::-1]:
                target = os.path.join(out_dir, who + ".bin")
                if who == "chromium":
                    chromium.append(chromium_seconds(url + "big.bin", size_mib << 20, a.work))
                    continue
                since = log_size(a.work)
                if who == "curl":
                    s, _, rc = timed(["curl", "-s", "-o", target, url + "big.bin"], env)
                    curl.append(s)
                elif who == "engine":
                    said = []
                    s, _, rc = timed([BENCH, "--engine", url + "big.bin", target], env, said)
                    engine.append(s)
                    words = said[0].split()
                    if "from-offer" in words:
                        engine_offer.append(float(words[words.index("from-offer") + 1]))
                else:
                    s, rss, rc = timed([BENCH, url + "big.bin", target], env)
                    ours.append(s)
                    ours_rss.append(rss)
                if rc != 0 or os.path.getsize(target) != size_mib << 20:
                    sys.exit(f"{who} failed (exit {rc})")
                if not reached(a.work, since, "/big.bin", size_mib << 20):
                    sys.exit(f"{who}: no whole answer from the server for its download")
                os.remove(target)
        since, small_mib = log_size(a.work), max(1, size_mib // 10)
        _, small_rss, rc = timed([BENCH, url + "small.bin", os.path.join(out_dir, "small.bin")], env)
        if rc != 0 or not reached(a.work, since, "/small.bin", small_mib << 20):
            sys.exit(f"the task's small download failed or never reached the server (exit {rc})")
        ratios = [(size_mib / o) / (size_mib / c) for o, c in zip(ours, curl)]
        med = statistics.median
        print(f"file {size_mib} MiB from nginx on loopback, {a.runs} runs each, alternating")
        print(f"curl -o        : {size_mib / med(curl):7.1f} MiB/s (median of {len(curl)})")
        print(f"download task  : {size_mib / med(ours):7.1f} MiB/s (median of {len(ours)})")
        print(f"throughput ratio task/curl per pair: median {med(ratios):.2f} "
              f"(min {min(ratios):.2f}, max {max(ratios):.2f})")
        eratios = [c / e for e, c in zip(engine, curl)]
        print(f"engine's fetch : {size_mib / med(engine):7.1f} MiB/s (median of {len(engine)}), "
              f"ratio to curl median {med(eratios):.2f} (min {min(eratios):.2f}, max {max(eratios):.2f}); "
              f"its time includes starting the engine")
        if engine_offer:
            oratios = [c / e for e, c in zip(engine_offer, curl)]
            print(f"engine's fetch from its offer: {size_mib / med(engine_offer):7.1f} MiB/s, "
                  f"ratio to curl median {med(oratios):.2f} (min {min(oratios):.2f}, max {max(oratios):.2f})")
        if chromium:
            cratios = [c / o for o, c in zip(ours, chromium)]
            print(f"Chromium       : {size_mib / med(chromium):7.1f} MiB/s (median of {len(chromium)}, "
                  f"its start-up not counted); task/Chromium per round median {med(cratios):.2f} "
                  f"(min {min(cratios):.2f}, max {max(cratios):.2f})")
            if engine_offer:
                eo = [c / e for e, c in zip(engine_offer, chromium)]
                print(f"engine's fetch from its offer / Chromium per round median {med(eo):.2f} "
                      f"(min {min(eo):.2f}, max {max(eo):.2f})")
        print(f"peak RSS of the task's process: {small_mib} MiB file {small_rss / 1024:.0f} MiB, "
              f"{size_mib} MiB file {med(ours_rss) / 1024:.0f} MiB")
        if a.chunked and not chunked_loop(a.chunked, small, out_dir, env):
            sys.exit(1)
        if a.resume and not resume_loop(a.resume, small, out_dir, env):
            sys.exit(1)
    finally:
        nginx.terminate()
        xvfb.terminate()
        nginx.wait()
        xvfb.wait()
        shutil.rmtree(a.work if fresh else out_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
