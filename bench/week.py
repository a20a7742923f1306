#!/usr/bin/env python3
"""A week on the wall: Skyvane's own refresh step N times (10,080 by default: one a minute for a
week), faults included, against the bare engine reloading the same page. Samples every 100 steps go
to week.csv and week.png; the last lines printed are the figures and the goals' verdicts.

Memory is sampled two ways over the whole process tree: PSS (proportional set size: each shared page
split among all the processes mapping it) and USS (private memory: Private_Clean + Private_Dirty,
the pages no other process maps). PSS steps up or down when another program that maps the same
libraries (another web-engine program, say) ends or starts, so the goals are judged on USS. A
renderer's samples swing from one to the next, so growth is judged on the median of the first five
samples against the median of the last five (fewer when there are fewer samples), not on one pair.

Run through bench/run.sh --week [--reloads N], which builds in Release first.
"""
import argparse
import csv
import os
import shutil
import statistics
import subprocess
import sys
import time

# The columns week_soak prints, in its order.
FIELDS = ["refreshes", "pss_kib", "processes", "fds", "threads", "frame_files", "frame_bytes", "uss_kib"]
MEDIAN_OF = 5  # samples at each end of a run for the growth figures
GROWTH_GOAL = 1.05  # the end within 1.05x of the start
COUNT_GOAL = 5  # open file descriptors and threads: at most this many more at the end


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
            print(f"  {name}: {sample['refreshes']:6d} refreshes, PSS {sample['pss_kib'] / 1024:7.1f} MiB, "
                  f"USS {sample['uss_kib'] / 1024:7.1f} MiB ({sample['processes']} processes), "
                  f"{sample['fds']} fds, {sample['threads']} threads, {sample['frame_files']} frame files "
                  f"({time.monotonic() - started:.0f} s)", flush=True)
    if proc.returncode != 0 or not samples:
        sys.exit(f"week_soak{' --bare' if bare else ''} failed (exit status {proc.returncode})")
    return samples


def mib(kib):
    return kib / 1024


def change(start, end):
    return f"{100.0 * (end - start) / start:+.1f}%"


def ends(samples):
    """The first and the last samples the growth is judged on: five each, fewer (and never the same
    ones) when the run has fewer than ten."""
    n = max(1, min(MEDIAN_OF, len(samples) // 2))
    return samples[:n], samples[-n:]


def span(samples):
    first, last = samples[0]["refreshes"], samples[-1]["refreshes"]
    return f"{first} refreshes" if first == last else f"{first}-{last} refreshes"


def median(samples, key):
    return statistics.median(s[key] for s in samples)


def memory_lines(name, samples):
    """The two figures after the first sample and the last, then the medians the goals use."""
    first, last = samples[0], samples[-1]
    head, tail = ends(samples)
    n = len(head)
    of = f"median of the first {n} samples" if n > 1 else "the first sample"
    of_last = f"of the last {n}" if n > 1 else "the last"
    lines = [f"{name}: PSS after {first['refreshes']} refreshes: {mib(first['pss_kib']):.1f} MiB; "
             f"after {last['refreshes']}: {mib(last['pss_kib']):.1f} MiB "
             f"({change(first['pss_kib'], last['pss_kib'])}); "
             f"USS after {first['refreshes']} refreshes: {mib(first['uss_kib']):.1f} MiB; "
             f"after {last['refreshes']}: {mib(last['uss_kib']):.1f} MiB "
             f"({change(first['uss_kib'], last['uss_kib'])})"]
    for label, key in (("private memory (USS)", "uss_kib"), ("PSS", "pss_kib")):
        a, b = median(head, key), median(tail, key)
        lines.append(f"{name}: {label}, {of} ({span(head)}): {mib(a):.1f} MiB; "
                     f"{of_last} ({span(tail)}): {mib(b):.1f} MiB ({change(a, b)})")
    return lines


def verdict(ok):
    return "met" if ok else "NOT met"


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
            f.write(f"# {program}: refreshes, PSS MiB, USS MiB\n" + "".join(
                f"{s['refreshes']} {mib(s['pss_kib']):.1f} {mib(s['uss_kib']):.1f}\n" for s in samples))
            f.write("\n\n")
    if shutil.which("gnuplot"):
        png = os.path.join(args.out, "week.png")
        script = (f"set terminal pngcairo size 800,500; set output '{png}';"
                  f"set title 'Process tree memory over {args.reloads} refreshes'; set xlabel 'refreshes';"
                  "set ylabel 'MiB'; set yrange [0:*]; set key below; set grid;"
                  f"plot '{data}' index 0 using 1:3 with linespoints lc 1 pt 7 title 'Skyvane USS (private)',"
                  f" '{data}' index 0 using 1:2 with linespoints lc 1 pt 6 dt 2 title 'Skyvane PSS',"
                  f" '{data}' index 1 using 1:3 with linespoints lc 2 pt 7 title 'floor (bare engine) USS (private)',"
                  f" '{data}' index 1 using 1:2 with linespoints lc 2 pt 6 dt 2 title 'floor (bare engine) PSS'")
        subprocess.run(["gnuplot", "-e", script], check=False)

    sky, floor = runs["skyvane"], runs["floor"]
    print()
    for line in memory_lines("floor (bare engine)", floor) + memory_lines("Skyvane", sky):
        print(line)
    print(f"file descriptors: {sky[0]['fds']} -> {sky[-1]['fds']}")
    print(f"threads: {sky[0]['threads']} -> {sky[-1]['threads']}")
    print(f"frames: {sky[-1]['frame_files']} files, {sky[-1]['frame_bytes'] / 1e6:.1f} MB")

    head, tail = ends(sky)
    start, end = median(head, "uss_kib"), median(tail, "uss_kib")
    floor_end = median(ends(floor)[1], "uss_kib")
    print()
    judged_on = (f"medians of the first and the last {len(head)} samples" if len(head) > 1
                 else "the first sample and the last")
    print(f"goal: Skyvane's private memory (USS) at the end within {GROWTH_GOAL:.2f}x of the start "
          f"({judged_on}): {end / start:.2f}x, "
          f"{verdict(end <= GROWTH_GOAL * start)}")
    print(f"goal: Skyvane's private memory (USS) at the end below the bare engine's floor "
          f"({f'medians of the last {len(tail)} samples' if len(tail) > 1 else 'the last samples'}): "
          f"{mib(end):.1f} MiB against {mib(floor_end):.1f} MiB, "
          f"{verdict(end < floor_end)}")
    print(f"goal: open file descriptors at most +{COUNT_GOAL}: {sky[-1]['fds'] - sky[0]['fds']:+d}, "
          f"{verdict(sky[-1]['fds'] - sky[0]['fds'] <= COUNT_GOAL)}")
    print(f"goal: threads at most +{COUNT_GOAL}: {sky[-1]['threads'] - sky[0]['threads']:+d}, "
          f"{verdict(sky[-1]['threads'] - sky[0]['threads'] <= COUNT_GOAL)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
