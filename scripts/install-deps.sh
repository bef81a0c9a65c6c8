#!/usr/bin/env bash
# Installs the Debian 12 packages LevelPanel needs to build, run and test, if missing.
# mold links (CMakeLists.txt takes it where it is found, else gold).
# clang and its runtime libraries build the fuzz targets (libFuzzer, ASan, UBSan).
# mosquitto (the broker), its command-line clients and openssl serve the MQTT tests.
# dpkg-dev and file let CPack build the .deb and find its dependencies (dpkg-shlibdeps).
# help2man makes the man pages, bash-completion tells where its completions go.
# systemd brings systemd-analyze, which rates the logger unit's sandbox (check-unit.sh).
# pngquant and optipng make the user guide's pictures small (scripts/screenshots.sh).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config mold
    qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
    libcups2-dev fontconfig fonts-dejavu-core poppler-utils
    libmosquitto-dev mosquitto mosquitto-clients openssl libssl-dev
    clang libclang-rt-14-dev clang-format
    dpkg-dev file
    help2man bash-completion pngquant optipng
    systemd
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
