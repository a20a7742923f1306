#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
SKYVANE_WERROR=ON "$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j2 --timeout 300
