#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test headless; then runs
# each fuzz target briefly, and the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (all but the end-to-end scenarios on a real X desktop, which run once, on
# the normal build). SKYVANE_QUICK=1 runs the first stage only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# Two at a time for the tests that keep a core busy; the end-to-end scenarios (ctest -L e2e, each a
# test e2e.NAME on an X server of its own) mostly wait on the program, so three at a time. Both sets
# run even when the first fails, so that one run names every failure.
failed=0
(cd "$root/build" && ctest --output-on-failure -j2 --timeout 300 --label-exclude e2e) || failed=1
(cd "$root/build" && ctest --output-on-failure -j3 --timeout 300 --label-regex e2e) || failed=1
[ "$failed" -eq 0 ] || exit 1

if [ "${SKYVANE_QUICK:-0}" != "1" ]; then
    echo "== fuzzing"
    "$root/scripts/fuzz.sh" "${SKYVANE_FUZZ_SECONDS:-20}"
    echo "== the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DSKYVANE_SANITIZE=ON -DSKYVANE_WERROR=ON -DSKYVANE_BENCH=OFF >/dev/null
    cmake --build "$root/build-asan" -j"$(nproc)"
    # Leak reports would come from the web engine's own start-up allocations, and the engine frees
    # some objects through a base type of another size (new-delete-type-mismatch): both are not ours.
    (cd "$root/build-asan" &&
        ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0:abort_on_error=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --output-on-failure -j2 --timeout 600 --label-exclude e2e)
fi
