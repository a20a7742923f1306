#!/usr/bin/env python3
"""A week on the wall: Skyvane's own refresh step N times (10,080 by default: one a minute for a
week), faults included, against the bare engine reloading the same page. Samples every 100 steps go
to week.csv and week.png; the last lines printed are the figures.

Run through bench/run.sh --week [--reloads N], which builds in Release first.
"""
import argparse
import csv
import os
import shutil
import subprocess
import sys
import time

FIELDS = ["refreshes", "pss_kib", "processes", "fds", "threads", "frame_files", "frame_bytes"]


def soak(build, reloads, image_bytes, bare):
    """The samples of one run, as it prints them."""
    cmd = [os.path.join(build, "bench-bin", "week_soak")] + (["--bare"] if bare else []) + [
        str(reloads), str(image_bytes)]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    name = "bare engine" if bare else "Skyvane"
    samples, started = [], time.monotonic()
    with subprocess.Popen(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) as proc:
        for line in proc.stdout:
            if not line[:1].isdigit():
                continue
            sample = dict(zip(FIELDS, map(int, line.strip().split(","))))
            samples.append(sample)
            print(f"  {name}: {sample['refreshes']:6d} refreshes, PSS {sample['pss_kib'] / 1024:7.1f} MiB "
                  f"({sample['processes']} processes), "
                  f"{sample['fds']} fds, {sample['threads']} threads, {sample['frame_files']} frame files "
                  f"({time.monotonic() - started:.0f} s)", flush=True)
    if proc.returncode != 0 or not samples:
        sys.exit(f"week_soak{' --bare' if bare else ''} failed (exit status {proc.returncode})")
    return samples


def pss_line(samples):
    first, last = samples[0], samples[-1]
    change = 100.0 * (last["pss_kib"] - first["pss_kib"]) / first["pss_kib"]
    return (f"PSS after {first['refreshes']} refreshes: {first['pss_kib'] / 1024:.1f} MiB; "
            f"after {last['refreshes']}: {last['pss_kib'] / 1024:.1f} MiB ({change:+.1f}%)")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--reloads", type=int, default=10080)
    ap.add_argument("--image-bytes", type=int, default=4_000_000)
    args = ap.parse_args()
    if args.reloads < 200:
        sys.exit("--reloads: at least 200, two samples")
    os.makedirs(args.out, exist_ok=True)

    runs = {"skyvane": soak(args.build, args.reloads, args.image_bytes, bare=False),
            "floor": soak(args.build, args.reloads, args.image_bytes, bare=True)}

    with open(os.path.join(args.out, "week.csv"), "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["program"] + FIELDS)
        for program, samples in runs.items():
            for s in samples:
                w.writerow([program] + [s[k] for k in FIELDS])
    data = os.path.join(args.out, "week.dat")
    with open(data, "w") as f:
        for program, samples in runs.items():
            f.write(f"# {program}\n" + "".join(f"{s['refreshes']} {s['pss_kib'] / 1024:.1f}\n" for s in samples))
            f.write("\n\n")
    if shutil.which("gnuplot"):
        png = os.path.join(args.out, "week.png")
        script = (f"set terminal pngcairo size 800,450; set output '{png}';"
                  f"set title 'Process tree PSS over {args.reloads} refreshes'; set xlabel 'refreshes';"
                  "set ylabel 'PSS, MiB'; set yrange [0:*]; set key bottom right; set grid;"
                  f"plot '{data}' index 0 with linespoints title 'Skyvane (refresh step, faults every 50th)',"
                  f" '{data}' index 1 with linespoints title 'floor (bare QWebEngineView reloads)'")
        subprocess.run(["gnuplot", "-e", script], check=False)

    sky, floor = runs["skyvane"], runs["floor"]
    print()
    print("floor (bare engine): " + pss_line(floor))
    print(pss_line(sky))
    print(f"file descriptors: {sky[0]['fds']} -> {sky[-1]['fds']}")
    print(f"threads: {sky[0]['threads']} -> {sky[-1]['threads']}")
    print(f"frames: {sky[-1]['frame_files']} files, {sky[-1]['frame_bytes'] / 1e6:.1f} MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
