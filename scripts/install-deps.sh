#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, and only those
# that are missing. Safe to run again; does nothing when everything is there. With --fuzz,
# also the clang tool chain of the fuzz targets (fuzz/run.sh); with --package, what builds and
# checks the Debian package (scripts/package.sh, tests/package/check.sh); with --vm, the
# virtual machine, kernel and tools of the real-port suite (tests/vm/run.sh).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang-format
    openbox xdotool x11-utils imagemagick
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev
    pybind11-dev python3-dev python3-numpy python3-pytest python3-pil
    fonts-liberation2 fonts-dejavu-core
    xvfb xauth
    locales
    xdg-utils
)
case "${1:-}" in
--fuzz) packages+=(clang libclang-rt-14-dev) ;;
--package) packages+=(dpkg-dev file lintian man-db desktop-file-utils) ;;
--vm) packages+=(qemu-system-x86 linux-image-amd64 busybox-static cpio kmod) ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run the program's number texts in a comma-decimal locale too.
if ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
    echo "Generating the locale de_DE.UTF-8"
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
