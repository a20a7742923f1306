#!/usr/bin/env bash
# Installs the Debian 12 packages Skyvane needs to build, run and test, when they are missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-webengine-dev qt6-multimedia-dev qt6-httpserver-dev qt6-websockets-dev libqt6opengl6-dev libwebp-dev
    qt6-qpa-plugins libqt6webenginecore6-bin
    xvfb xauth fonts-dejavu-core iproute2 util-linux openssl clang libclang-rt-14-dev curl
    dpkg-dev desktop-file-utils appstream
    fonts-liberation2 openbox xdotool wmctrl x11-utils x11-apps dbus python3-dbusmock netpbm
    libxss-dev libxext-dev python3-xlib
    libsystemd-dev
    libavcodec-dev libavformat-dev libavutil-dev libswscale-dev ffmpeg
    libmosquitto-dev mosquitto mosquitto-clients
    qt6-wayland qt6-base-private-dev libwayland-dev wayland-protocols weston cage xwayland
    at-spi2-core python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
