#!/usr/bin/env bash
# Installs every Debian package the builds and tests need, and only what is
# missing. Cheap when everything is present: one dpkg-query, no apt calls.
set -euo pipefail

packages=(
  cmake make g++ python3
  clang libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libboost1.81-dev nlohmann-json3-dev unicode-data
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  wine wine64 wine32:i386
  xvfb xdotool x11-apps imagemagick
  liblnk-utils
  # Wine's own fonts (Tahoma for dialogs, Marlett for the title bar's
  # buttons): Wine's packages only recommend them.
  fonts-wine
)

need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
fi

missing=()
if [ "$need_i386" = 1 ]; then
  missing=("${packages[@]}")
else
  # dpkg-query prints one status per package it knows; anything not fully
  # installed (or unknown to dpkg) is missing.
  installed=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' 2>/dev/null | awk '$2 ~ /^ii/ {print $1}')
  native=$(dpkg --print-architecture)
  for p in "${packages[@]}"; do
    case "$p" in
      *:*) want="$p" ;;
      *) want="$p:$native" ;;
    esac
    if ! grep -qx -e "$want" -e "${p%%:*}:all" <<<"$installed"; then
      missing+=("$p")
    fi
  done
fi

[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
if [ "$(id -u)" != 0 ]; then
  echo "setup: packages are missing and this is not root; install them and retry" >&2
  exit 1
fi
[ "$need_i386" = 1 ] && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
