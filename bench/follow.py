#!/usr/bin/env python3
"""Three ways of keeping up with a radar site, side by side on time compressed FACTOR times: refreshed
every 10 minutes with the site followed, refreshed every minute, and refreshed every 10 minutes. The
site publishes a new picture at random (exponential gaps, 6 minutes on average, the same times for
the three) and answers conditional requests with 304 (and a request for its first byte with that byte, as a
static file server does). Each way has a site of its own, which counts
the requests and the bytes it sends.

Figures are in the site's time (the compressed one): the lag from a picture's publishing to the
first new picture on screen after it (a picture passed over by a newer one counts until that one
shows), the requests, the full loads of the picture and the bytes per hour, the bytes of an answer that
nothing changed (a 304 or a HEAD), and the CPU seconds per hour of the program and the
engine's helpers. Each load takes its real time, which the compression stretches FACTOR times, so
the lags are longer than on the wall by about FACTOR times a load's real time.

Run through bench/run.sh --follow [--hours H] [--factor F], which builds in Release first.
"""
import argparse
import email.utils
import http.server
import os
import random
import statistics
import struct
import subprocess
import sys
import threading
import time
import zlib

WAYS = [("followed, every 10 min", 10, True), ("every minute", 1, False), ("every 10 min", 10, False)]
MEAN_GAP_MIN = 6.0
# The goals, for the followed way.
LAG_MEDIAN_GOAL_MIN = 1.0  # a new picture within a minute, as a refresh every minute would
CHECK_BYTES_GOAL = 1000  # an answer that nothing changed: a few hundred bytes
CPU_SHARE_GOAL = 0.5  # at most half its CPU
BYTES_SHARE_GOAL = 1.1  # and no more bytes than it, give or take a few questions


def png(width, height, colour, seed):
    """A radar-like picture: flat ground of the version's colour and a band of echoes."""
    rng = random.Random(seed)
    flat = bytes(colour) * width
    rows = []
    for y in range(height):
        if height // 3 <= y < height // 3 + 120:
            rows.append(b"\0" + rng.randbytes(width * 3))
        else:
            rows.append(b"\0" + flat)
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))


class Site:
    """The page and its picture, each with an ETag and Last-Modified."""

    PAGE = (b"<html><head><title>Radar</title></head><body style='margin:0;background:#000'>"
            b"<img src='/radar.png' style='width:100%'></body></html>")

    def __init__(self):
        self.lock = threading.Lock()
        self.sent = 0
        self.requests, self.bytes = {}, {}
        self.published = {"/radar": (self.PAGE, "text/html", '"page"', email.utils.formatdate(usegmt=True))}
        site = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def serve(self, head):
                path = self.path.split("?")[0]
                with site.lock:
                    entry = site.published.get(path)
                if entry is None:
                    body, status, headers = b"", 404, []
                else:
                    body, kind, etag, modified = entry
                    if self.headers.get("If-None-Match"):
                        same = self.headers.get("If-None-Match") == etag
                    else:
                        same = self.headers.get("If-Modified-Since") == modified
                    status = 304 if same else 200
                    headers = [("ETag", etag), ("Last-Modified", modified), ("Cache-Control", "no-cache")]
                    if status == 200 and self.headers.get("Range") == "bytes=0-0" and body:
                        status, body = 206, body[:1]  # as a static file server answers a range
                        headers.append(("Content-Range", "bytes 0-0/%d" % len(entry[0])))
                    if status in (200, 206):
                        headers.append(("Content-Type", kind))
                    else:
                        body = b""
                reason = {200: "OK", 206: "Partial Content", 304: "Not Modified"}.get(status, "Not Found")
                reply = ("HTTP/1.1 %d %s\r\n" % (status, reason)).encode()
                for name, value in headers + [("Content-Length", str(len(body)))]:
                    reply += ("%s: %s\r\n" % (name, value)).encode()
                reply += b"\r\n" + (b"" if head else body)
                self.wfile.write(reply)
                with site.lock:
                    site.sent += len(reply)
                    key = (self.command, path, status)
                    site.requests[key] = site.requests.get(key, 0) + 1
                    site.bytes[key] = site.bytes.get(key, 0) + len(reply)

            def do_GET(self):
                self.serve(False)

            def do_HEAD(self):
                self.serve(True)

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.url = "http://127.0.0.1:%d/radar" % self.httpd.server_address[1]

    def publish(self, body, serial):
        modified = email.utils.formatdate(time.time() + serial, usegmt=True)  # never the last one's
        with self.lock:
            self.published["/radar.png"] = (body, "image/png", '"v%d"' % serial, modified)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def lags(published, shown):
    """Minutes of real time from each publishing to the first new picture shown after it; None when
    none came before the end."""
    out = []
    for at in published:
        after = [t for t in shown if t > at]
        out.append(after[0] - at if after else None)
    return out


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--hours", type=float, default=2.0, help="hours of the site's time")
    parser.add_argument("--factor", type=float, default=10.0, help="how much faster than real time")
    parser.add_argument("--seed", type=int, default=41)
    args = parser.parse_args()
    minute_s = 60.0 / args.factor
    run_s = args.hours * 60 * minute_s
    rng = random.Random(args.seed)
    gaps, total = [], 0.0
    while True:
        total += rng.expovariate(1.0 / MEAN_GAP_MIN)
        if total > args.hours * 60 - 15:  # the last quarter-hour is left for the last picture to show
            break
        gaps.append(total)
    pictures = [png(1024, 768, (20 + 37 * i % 200, 60 + 53 * i % 180, 90 + 71 * i % 150), i)
                for i in range(len(gaps) + 1)]
    sites = [Site() for _ in WAYS]
    for site in sites:
        site.publish(pictures[0], 0)
    program = os.path.join(args.build, "bench-bin", "follow_bench")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    procs = []
    for (name, interval, follow), site in zip(WAYS, sites):
        cmd = [program, site.url, str(interval), str(int(minute_s * 1000)), str(int(run_s + 60))]
        procs.append(subprocess.Popen(cmd + (["--follow"] if follow else []), env=env, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, text=True))
    outputs = [[] for _ in procs]

    def read(i):
        for line in procs[i].stdout:
            outputs[i].append((line.split()[0], int(line.split()[1])))

    readers = [threading.Thread(target=read, args=(i,), daemon=True) for i in range(len(procs))]
    for r in readers:
        r.start()
    deadline = time.monotonic() + 120
    while not all(any(k == "cpu0" for k, _ in out) for out in outputs):
        if time.monotonic() > deadline or any(p.poll() is not None for p in procs):
            sys.exit("a program did not show its first picture")
        time.sleep(0.2)
    start = time.monotonic()
    before = [dict(s.requests) for s in sites], [s.sent for s in sites]
    print("%d pictures published over %.1f h of the site's time (%.0f s real, a minute lasting %.1f s)"
          % (len(gaps), args.hours, run_s, minute_s), flush=True)
    published = []
    for serial, at in enumerate(gaps, start=1):
        time.sleep(max(0.0, start + at * minute_s - time.monotonic()))
        published.append(time.monotonic() * 1000)
        for site in sites:
            site.publish(pictures[serial], serial)
    time.sleep(max(0.0, start + run_s - time.monotonic()))
    hours = (time.monotonic() - start) / (60 * minute_s)
    sent = [s.sent - b for s, b in zip(sites, before[1])]
    requests = [{k: v - b.get(k, 0) for k, v in s.requests.items()} for s, b in zip(sites, before[0])]
    for p in procs:
        p.wait(timeout=180)
    for r in readers:
        r.join(timeout=5)
    for site in sites:
        site.close()

    figures = []
    for (name, _, _), out, reqs, nbytes, site in zip(WAYS, outputs, requests, sent, sites):
        shown = [v for k, v in out if k == "new"]
        cpu = dict((k, v) for k, v in out if k in ("cpu0", "cpu"))
        minutes = [None if l is None else l / 1000 / minute_s for l in lags(published, shown)]
        got = [m for m in minutes if m is not None]
        unchanged = [(v, site.bytes[k]) for k, v in site.requests.items() if k[2] == 304 or k[0] == "HEAD"]
        full = sum(v for (method, path, status), v in reqs.items() if path == "/radar.png" and status == 200
                   and method == "GET")
        figures.append({
            "name": name, "median": statistics.median(got) if got else float("inf"),
            "p95": percentile(got, 0.95) if got else float("inf"), "missed": len(minutes) - len(got),
            "requests": sum(reqs.values()) / hours, "full": full / hours, "bytes": nbytes / hours,
            "check": sum(b for _, b in unchanged) / max(1, sum(n for n, _ in unchanged)),
            "cpu": (cpu.get("cpu", 0) - cpu.get("cpu0", 0)) / 1000 / hours if "cpu" in cpu else float("nan")})
    print("%-24s %9s %9s %7s %10s %11s %8s %12s %8s" % ("way", "lag med", "lag p95", "missed", "requests/h",
                                                        "full pics/h", "MB/h", "B/unchanged", "CPU s/h"))
    for f in figures:
        print("%-24s %7.2fmin %7.2fmin %7d %10.0f %11.1f %8.2f %12.0f %8.1f" % (
            f["name"], f["median"], f["p95"], f["missed"], f["requests"], f["full"], f["bytes"] / 1e6, f["check"],
            f["cpu"]))
    followed, every_minute, _ = figures
    goals = [
        ("followed: median lag within %.0f min" % LAG_MEDIAN_GOAL_MIN, followed["median"] <= LAG_MEDIAN_GOAL_MIN),
        ("followed: nothing published left unseen", followed["missed"] == 0),
        ("followed: an answer that nothing changed under %d bytes" % CHECK_BYTES_GOAL,
         0 < followed["check"] < CHECK_BYTES_GOAL),
        ("followed: at most %.1fx the bytes of every minute" % BYTES_SHARE_GOAL,
         followed["bytes"] <= BYTES_SHARE_GOAL * every_minute["bytes"]),
        ("followed: at most %d%% of the CPU of every minute" % (CPU_SHARE_GOAL * 100),
         followed["cpu"] <= CPU_SHARE_GOAL * every_minute["cpu"]),
    ]
    for text, ok in goals:
        print("%s  %s" % ("PASS" if ok else "FAIL", text))
    return 0 if all(ok for _, ok in goals) else 1


if __name__ == "__main__":
    sys.exit(main())
