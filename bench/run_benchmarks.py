#!/usr/bin/env python3
"""Skyvane against the bare engine: cold start, memory, idle CPU, plus the in-process benchmarks.

Run through bench/run.sh, which builds in Release first. Pages come from a loopback server started
here; the programs run under a private Xvfb screen. Prints a table and writes bench/results/.
"""
import argparse
import csv
import http.server
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

CLK_TCK = os.sysconf("SC_CLK_TCK")


# ---------------------------------------------------------------- loopback server

def make_bmp(approx_bytes):
    side = int((approx_bytes / 3) ** 0.5) // 4 * 4
    row = side * 3
    header = b"BM" + struct.pack("<IHHI", 54 + row * side, 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, row * side, 2835, 2835, 0, 0)
    pixels = bytearray(row * side)
    for y in range(side):
        base = y * row
        g = (y * 255) // side
        pixels[base:base + row] = bytes((x * 255 // side if i == 0 else g if i == 1 else 96)
                                        for x in range(side) for i in range(3))
    return bytearray(header) + pixels, side, row


class State:
    def __init__(self, image_bytes):
        self.lock = threading.Lock()
        self.loaded = []          # monotonic times of the start page's load beacon
        self.reloads = 0          # soak page loads so far
        self.target = 0           # soak page loads wanted
        self.image, self.side, self.row = make_bmp(image_bytes)
        self.sweep = 0


def handler_for(state):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def send(self, body, ctype="text/html; charset=utf-8", status=200):
            self.send_response(status)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            path = self.path.split("?")[0]
            if path == "/start":
                self.send(b"<html><head><title>Radar start</title></head><body>"
                          b"<h1>Radar</h1><p>Start page.</p>"
                          b"<script>addEventListener('load',()=>fetch('/loaded?'+Date.now()))</script>"
                          b"</body></html>")
            elif path == "/loaded":
                with state.lock:
                    state.loaded.append(time.monotonic())
                self.send(b"ok", "text/plain")
            elif path == "/soak":
                self.send(b"<html><head><title>Radar loop</title></head><body style='margin:0'>"
                          b"<img src='/radar.bmp?" + str(time.time()).encode() + b"' style='width:100%'>"
                          b"<script>addEventListener('load',()=>fetch('/tick').then(r=>r.text())"
                          b".then(t=>{if(t==='more')setTimeout(()=>location.reload(),20)}))</script>"
                          b"</body></html>")
            elif path == "/tick":
                with state.lock:
                    state.reloads += 1
                    more = state.reloads < state.target
                self.send(b"more" if more else b"stop", "text/plain")
            elif path == "/radar.bmp":
                with state.lock:
                    y = state.sweep % state.side
                    state.sweep += 1
                    start = 54 + y * state.row
                    state.image[start:start + state.row] = b"\xff" * state.row
                    body = bytes(state.image)
                self.send(body, "image/bmp")
            else:
                self.send(b"not found", "text/plain", 404)

    return Handler


# ---------------------------------------------------------------- process tree figures

def children_map():
    kids = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as f:
                data = f.read()
        except OSError:
            continue
        fields = data[data.rindex(b")") + 2:].split()
        kids.setdefault(int(fields[1]), []).append(int(entry))
    return kids


def tree(pid):
    kids = children_map()
    out, i = [pid], 0
    while i < len(out):
        out.extend(kids.get(out[i], []))
        i += 1
    return out


def pss_kib(pid):
    total = 0
    for p in tree(pid):
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        break
        except OSError:
            pass
    return total


def settled_pss(pid):
    """The smallest of three samples 0.2 s apart: the level under the swings of picture decoding."""
    samples = []
    for _ in range(3):
        samples.append(pss_kib(pid))
        time.sleep(0.2)
    return min(samples)


def cpu_seconds(pid):
    total = 0.0
    for p in tree(pid):
        try:
            with open(f"/proc/{p}/stat", "rb") as f:
                data = f.read()
        except OSError:
            continue
        fields = data[data.rindex(b")") + 2:].split()
        total += (int(fields[11]) + int(fields[12]) + int(fields[13]) + int(fields[14])) / CLK_TCK
    return total


# ---------------------------------------------------------------- programs

class Runner:
    def __init__(self, build, server_url, display, state):
        self.build = build
        self.url = server_url
        self.display = display
        self.state = state

    def env(self, scratch):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "XDG_RUNTIME_DIR": os.path.join(scratch, "run"),
            "XDG_DATA_HOME": os.path.join(scratch, "data"),
            "XDG_CACHE_HOME": os.path.join(scratch, "cache"),
            "XDG_CONFIG_HOME": os.path.join(scratch, "config"),
        })
        for d in ("run", "data", "cache", "config"):
            os.makedirs(env[f"XDG_{'RUNTIME' if d == 'run' else d.upper()}_{'DIR' if d == 'run' else 'HOME'}"],
                        mode=0o700, exist_ok=True)
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        return env

    def command(self, program, page, scratch):
        """The command line for program, its folder and files made first (outside any timing)."""
        if program == "skyvane":
            appdir = os.path.join(scratch, "prog")
            shutil.copytree(os.path.join(self.build, "bin"), appdir)
            record = bytearray(470)
            address = (self.url + page).encode("cp1252")
            record[30:330] = address.ljust(300, b" ")
            record[336:464] = b" " * 128
            with open(os.path.join(appdir, "Skyvn.ini"), "wb") as f:
                f.write(record)
            cmd = [os.path.join(appdir, "skyvane")]
        else:
            cmd = [os.path.join(self.build, "bench-bin", "floor"), self.url + page]
        return cmd

    def start(self, program, page, scratch):
        return self.launch(self.command(program, page, scratch), self.env(scratch))

    @staticmethod
    def launch(cmd, env):
        return subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def stop(proc):
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(20)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    def wait_loaded(self, before, timeout=60):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            with self.state.lock:
                if len(self.state.loaded) > before:
                    return self.state.loaded[before]
            time.sleep(0.005)
        raise RuntimeError("the start page did not load")

    def cold_start(self, program):
        with tempfile.TemporaryDirectory() as scratch:
            cmd, env = self.command(program, "/start", scratch), self.env(scratch)
            before = len(self.state.loaded)
            t0 = time.monotonic()
            proc = self.launch(cmd, env)
            try:
                t1 = self.wait_loaded(before)
                time.sleep(3)
                return (t1 - t0) * 1000.0, pss_kib(proc.pid)
            finally:
                self.stop(proc)

    def soak(self, program, reloads, every):
        series = []
        with tempfile.TemporaryDirectory() as scratch:
            with self.state.lock:
                self.state.reloads = 0
                self.state.target = reloads + 1
            proc = self.start(program, "/soak", scratch)
            try:
                next_mark, end = 0, time.monotonic() + 1800
                while time.monotonic() < end:
                    with self.state.lock:
                        done = self.state.reloads - 1
                    if done >= next_mark:
                        series.append((next_mark, settled_pss(proc.pid)))
                        next_mark += every
                    if done >= reloads:
                        break
                    time.sleep(0.01)
                time.sleep(2)
                series.append((reloads, settled_pss(proc.pid)))
            finally:
                self.stop(proc)
        return series

    def idle_cpu(self, program, seconds):
        with tempfile.TemporaryDirectory() as scratch:
            before = len(self.state.loaded)
            proc = self.start(program, "/start", scratch)
            try:
                self.wait_loaded(before)
                if program == "skyvane" and shutil.which("xdotool"):
                    # One click on the interval's right arrow switches the refresh timer on.
                    subprocess.run(["xdotool", "mousemove", "130", "10", "click", "1"],
                                   env={"DISPLAY": self.display}, check=False)
                time.sleep(5)
                c0, t0 = cpu_seconds(proc.pid), time.monotonic()
                time.sleep(seconds)
                c1, t1 = cpu_seconds(proc.pid), time.monotonic()
                return 100.0 * (c1 - c0) / (t1 - t0)
            finally:
                self.stop(proc)


def start_xvfb():
    for n in range(91, 140):
        if os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                return proc, f":{n}"
            if proc.poll() is not None:
                break
            time.sleep(0.05)
        proc.kill()
    raise RuntimeError("no Xvfb display could be started")


def run_offscreen(cmd):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, check=False)
    return out.stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--runs", type=int, default=15)  # the engine alone moves by 10% from run to run
    ap.add_argument("--reloads", type=int, default=500)
    ap.add_argument("--idle-seconds", type=int, default=60)
    ap.add_argument("--image-bytes", type=int, default=4_000_000)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    started = time.monotonic()

    state = State(args.image_bytes)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_for(state))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}"
    xvfb, display = start_xvfb()
    runner = Runner(args.build, url, display, state)
    raw = []
    try:
        cold = {"skyvane": [], "floor": []}
        start_mem = {"skyvane": [], "floor": []}
        for i in range(args.runs):
            for program in ("floor", "skyvane"):  # alternate, so that neither always goes first
                ms, pss = runner.cold_start(program)
                cold[program].append(ms)
                start_mem[program].append(pss)
                raw.append((program, "cold_start_ms", i, f"{ms:.1f}"))
                raw.append((program, "pss_after_start_kib", i, pss))
                print(f"  run {i + 1}: {program:8s} cold start {ms:7.1f} ms, PSS {pss / 1024:6.1f} MiB", flush=True)

        soak = {}
        for program in ("floor", "skyvane"):
            soak[program] = runner.soak(program, args.reloads, 50)
            for n, pss in soak[program]:
                raw.append((program, "pss_during_soak_kib", n, pss))
            print(f"  soak: {program:8s} {soak[program][0][1] / 1024:6.1f} -> {soak[program][-1][1] / 1024:6.1f} MiB",
                  flush=True)

        idle = {}
        for program in ("floor", "skyvane"):
            idle[program] = runner.idle_cpu(program, args.idle_seconds)
            raw.append((program, "idle_cpu_percent", 0, f"{idle[program]:.3f}"))
            print(f"  idle: {program:8s} {idle[program]:.3f} % of one core", flush=True)
    finally:
        xvfb.terminate()
        server.shutdown()

    sitelist = run_offscreen([os.path.join(args.build, "bench-bin", "sitelist_bench")])
    refresh = run_offscreen([os.path.join(args.build, "bench-bin", "refresh_soak"), str(args.reloads),
                             str(args.image_bytes)])
    frames = run_offscreen([os.path.join(args.build, "bench-bin", "frame_bench"), "100"])

    def med(v):
        return statistics.median(v)

    def growth(series, warmup):
        # The engine fills its caches over the first reloads (the floor shows the same climb); growth
        # is counted from the first sample at or after the warm-up.
        base = next((pss for n, pss in series if n >= warmup), series[0][1])
        return 100.0 * (series[-1][1] - base) / base

    warmup = max(1, args.reloads // 5)

    rows = [
        ("cold start, ms (median)", med(cold["skyvane"]), med(cold["floor"]), "<= 1.10x"),
        ("PSS after start, MiB (median)", med(start_mem["skyvane"]) / 1024, med(start_mem["floor"]) / 1024, "<= 1.10x"),
        (f"PSS after {args.reloads} reloads, MiB", soak["skyvane"][-1][1] / 1024, soak["floor"][-1][1] / 1024,
         "<= 1.10x"),
        ("PSS growth from start to end of the soak, %", growth(soak["skyvane"], 0), growth(soak["floor"], 0),
         "(engine warm-up)"),
        (f"PSS growth after {warmup} reloads of warm-up, %", growth(soak["skyvane"], warmup),
         growth(soak["floor"], warmup), "< 5 %"),
        (f"idle CPU over {args.idle_seconds} s, % of a core", idle["skyvane"], idle["floor"], "< 0.5 %"),
    ]
    lines = ["| measure | Skyvane | floor | ratio | goal |", "|---|---:|---:|---:|---|"]
    for name, s, f, goal in rows:
        ratio = f"{s / f:.2f}x" if f and "growth" not in name and "idle" not in name else "-"
        lines.append(f"| {name} | {s:.2f} | {f:.2f} | {ratio} | {goal} |")
    for line in sitelist.splitlines():
        if line and not line.startswith(("#", "measure")):
            name, value, goal = line.split(",")
            lines.append(f"| 10,000 sites: {name.replace('_', ' ')}, ms | {float(value):.2f} | - | - | < {goal} ms |")
            raw.append(("skyvane", f"sitelist_{name}_ms", 0, value))
    frame_names = {"frame_ui_thread_ms": "a frame of a 1920 x 1080 view x100: window thread, ms (median / worst)",
                   "frame_total_ms": "a frame of a 1920 x 1080 view x100: in all, ms (median / worst)",
                   "replay_open_ms": "Replay of 36 full-HD frames: open, ms",
                   "replay_memory_mib": "Replay of 36 full-HD frames: memory held, MiB"}
    for line in frames.splitlines():
        name, median, worst, goal = (line.split(",") + ["", "", "", ""])[:4]
        if name in frame_names:
            shown = f"{float(median):.2f} / {float(worst):.2f}" if "x100" in frame_names[name] else f"{float(median):.2f}"
            lines.append(f"| {frame_names[name]} | {shown} | - | - | {'< ' + goal if goal != '-' else '-'} |")
            raw.append(("skyvane", name, 0, median))
    soak_lines = [l for l in refresh.splitlines() if l and l[0].isdigit()]
    if len(soak_lines) >= 2:
        series = [(int(l.split(",")[0]), int(l.split(",")[1])) for l in soak_lines]
        lines.append(f"| Skyvane's own refresh step x{args.reloads} (in process): PSS growth after "
                     f"{warmup} steps, % | {growth(series, warmup):.2f} | - | - | < 5 % |")
        for n, pss in series:
            raw.append(("skyvane-refresh-step", "pss_kib", n, pss))
    table = "\n".join(lines)
    print()
    print(table)
    print(f"\n# {os.cpu_count()} cores; finished in {time.monotonic() - started:.0f} s")

    with open(os.path.join(args.out, "benchmarks.csv"), "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["program", "measure", "run_or_reloads", "value"])
        w.writerows(raw)
    with open(os.path.join(args.out, "table.md"), "w") as f:
        f.write(table + "\n")
    data = os.path.join(args.out, "memory_soak.dat")
    with open(data, "w") as f:
        for program in ("skyvane", "floor"):
            f.write(f"# {program}\n")
            for n, pss in soak[program]:
                f.write(f"{n} {pss / 1024:.1f}\n")
            f.write("\n\n")
    if shutil.which("gnuplot"):
        png = os.path.join(args.out, "memory.png")
        script = (f"set terminal pngcairo size 800,450; set output '{png}';"
                  "set title 'Process tree PSS during the reload soak'; set xlabel 'reloads';"
                  "set ylabel 'PSS, MiB'; set key bottom right; set grid;"
                  f"plot '{data}' index 0 with linespoints title 'Skyvane',"
                  f" '{data}' index 1 with linespoints title 'floor (bare QWebEngineView)'")
        subprocess.run(["gnuplot", "-e", script], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
