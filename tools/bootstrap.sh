#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
# As root it installs them; otherwise it prints the exact line and stops.
# Every subsystem adds its packages to this one list.
set -euo pipefail

packages=(
    # toolchain and build
    cmake ninja-build g++ pkg-config
    # fuzz targets (clang with libFuzzer and the sanitizer runtimes)
    clang libclang-rt-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # platform layer: window, surfaces, events
    libsdl2-dev
    # sound and music output
    libsdl2-mixer-dev
    # video clips (FFmpeg); the ffmpeg command makes the test clips and encodes
    # the game's films and music (libvorbis inside Debian's ffmpeg)
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
    # the game data generator (tools/assets)
    python3 python3-pil python3-numpy fonts-dejavu-core fonts-dejavu-extra
    # the game's end-to-end test: a virtual X display, keys and clicks
    xvfb xauth xdotool
    # the developer editor's web server; its page's browser test
    libcpp-httplib-dev chromium
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done
# The browser test's driver comes from npm: any Node.js with npm will do
# (a machine may have one that bundles npm; Debian's are the fallback).
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    missing+=(nodejs npm)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && $line" >&2
    exit 1
fi
echo "bootstrap: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y --no-install-recommends -qq "${missing[@]}" >/dev/null
