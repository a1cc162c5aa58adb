#!/usr/bin/env bash
# Installs whatever the build needs and is missing, then configures and builds.
# Safe to run again: packages already present are not touched, and ccache keeps
# rebuilds short.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELTRIX_BUILD_DIR:-"$root/build"}
build_type=${VELTRIX_BUILD_TYPE:-RelWithDebInfo}

packages=(
  g++ cmake pkg-config ccache ninja-build
  libpng-dev zlib1g-dev libsqlite3-dev
  libsdl2-dev libcairo2-dev libpango1.0-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libgif-dev libjpeg62-turbo-dev
  libavformat-dev libavcodec-dev libswresample-dev libsoundtouch-dev
  libcurl4-openssl-dev
  lame ffmpeg flvstreamer soundstretch espeak-ng
  libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev xvfb xauth libx11-dev libxtst-dev
  libxml2-dev libpugixml-dev libicu-dev python3-mutagen
  clang
  dbus-daemon playerctl
  libpocketsphinx-dev pocketsphinx-en-us
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

export CCACHE_DIR=${CCACHE_DIR:-"$HOME/.cache/ccache"}
# Paths relative to the checkout, so that several checkouts of the project (and
# CI's fresh clone) share one cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-"$root"}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
# CI keeps two builds in the cache (this one and the sanitizer build), more than
# ccache's default 5 GB holds: one would evict the other and compile cold.
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-16G}
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE="$build_type" \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  "$@"
cmake --build "$build" --parallel "$(nproc)"
