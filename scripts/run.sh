#!/usr/bin/env bash
# Installs what is missing, builds and starts Skyvane.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" skyvane
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Skyvane under Xvfb (a virtual screen)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/build/bin/skyvane"
fi
exec "$root/build/bin/skyvane"
