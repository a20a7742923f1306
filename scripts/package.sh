#!/usr/bin/env bash
# Builds Skyvane in Release and makes the Debian package build-release/skyvane_<version>_<arch>.deb.
# Install it with: sudo apt-get install ./build-release/skyvane_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target skyvane
(cd "$root/build-release" && cpack -G DEB)
ls "$root"/build-release/skyvane_*.deb
