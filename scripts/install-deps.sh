#!/usr/bin/env bash
# Installs the Debian packages Kipster builds, runs and tests with, when any is missing. clang with
# its runtimes (libclang-rt-14-dev: libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) builds
# the fuzz harnesses.
set -euo pipefail
packages=(
  g++ cmake ninja-build
  libgtest-dev libgmock-dev libbenchmark-dev libglm-dev
  qt6-base-dev libx11-dev libxi-dev libgl-dev libglu1-mesa-dev libglew-dev libxrandr-dev
  libsdl2-dev libopenal-dev fonts-dejavu-core
  xvfb xauth libgl1-mesa-dri libglx-mesa0 xdotool imagemagick locales desktop-file-utils
  clang libclang-rt-14-dev
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
