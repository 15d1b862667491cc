#!/usr/bin/env bash
# Installs what building, running and testing Keywhirl needs on Debian.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  cmake ninja-build googletest
  wine wine32:i386 wine64
  xvfb xdotool x11-utils imagemagick fonts-liberation
  python3
  fp-utils libchm-bin nsis zip
)

need_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root dpkg --add-architecture i386
  need_root apt-get update -qq
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  need_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive need_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
