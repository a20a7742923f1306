#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each one
# for the given number of seconds (default 20) from the seed corpus. For a long run: scripts/fuzz.sh 3600
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
cmake -S "$root" -B "$root/build-fuzz" -DSKYVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-fuzz" -j"$(nproc)"
work="$root/build-fuzz/corpus"
for pair in settings_record:settings site_list:sitelist startup_corrections:corrections; do
    target="fuzz_${pair%%:*}"
    seeds="$root/tests/fuzz/corpus/${pair##*:}"
    mkdir -p "$work/$target"
    echo "== $target for ${seconds}s"
    "$root/build-fuzz/fuzz-bin/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        "$work/$target" "$seeds" 2>&1 | grep -E '^(#|INFO: seed|stat::number_of_executed_units|==|SUMMARY)' | tail -4
done
echo "fuzzing finished without a crash"
