#!/usr/bin/env bash
# Configures and builds Skyvane into build/ (program and shipped files in build/bin/), warnings as
# errors. Arguments name the targets to build; none builds everything.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_type="${SKYVANE_BUILD_TYPE:-RelWithDebInfo}"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE="$build_type" -DSKYVANE_WERROR=ON >/dev/null
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
cmake --build "$root/build" -j"$(nproc)" "${targets[@]}"
