#!/usr/bin/env bash
# Builds Skyvane and the floor program in Release and runs every benchmark; prints the report and
# writes bench/results/ (CSV, chart, table). With --week [--reloads N], runs the week-long soak instead
# (bench/week.py): N refresh steps, 10,080 unless given, and the bare engine's reloads beside them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
extra=()
for p in xdotool gnuplot-nox python3; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || extra+=("$p")
done
if [ ${#extra[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${extra[@]}"
fi
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DSKYVANE_TESTS=ON -DSKYVANE_BENCH=ON >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target skyvane floor refresh_soak sitelist_bench frame_bench loop_bench \
    week_soak follow_bench
if [ "${1:-}" = "--follow" ]; then
    shift
    exec python3 "$root/bench/follow.py" --build "$root/build-release" "$@"
fi
if [ "${1:-}" = "--week" ]; then
    shift
    exec python3 "$root/bench/week.py" --build "$root/build-release" --out "$root/bench/results" "$@"
fi
exec python3 "$root/bench/run_benchmarks.py" --build "$root/build-release" --out "$root/bench/results" "$@"
