#!/usr/bin/env bash
# Installs the Debian packages the build needs (when any is missing), then
# configures and builds everything into build/release. Sourced by run.sh and
# test.sh; QX_BUILD_DIR overrides the build folder.
set -euo pipefail

QX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QX_BUILD_DIR="${QX_BUILD_DIR:-$QX_ROOT/build/release}"
# Extra CMake options (test.sh --sanitize sets the sanitizer build).
QX_CMAKE_OPTIONS=(${QX_CMAKE_OPTIONS[@]+"${QX_CMAKE_OPTIONS[@]}"})
QX_BUILD_TYPE="${QX_BUILD_TYPE:-Release}"

QX_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins
  fonts-play fonts-dejavu-core locales
  libopenal-dev libfluidsynth-dev timgm6mb-soundfont
  liblua5.4-dev lua5.4
  qt6-httpserver-dev qt6-websockets-dev libqt6sql6-sqlite libsodium-dev
)

qx_install_packages() {
  local missing=()
  for package in "${QX_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== Installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "error: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
      exit 1
    fi
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

qx_build() {
  local jobs
  jobs="$(nproc 2>/dev/null || echo 2)"
  echo "== Configuring and building in $QX_BUILD_DIR"
  cmake -S "$QX_ROOT" -B "$QX_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$QX_BUILD_TYPE" \
    ${QX_CMAKE_OPTIONS[@]+"${QX_CMAKE_OPTIONS[@]}"} >/dev/null
  cmake --build "$QX_BUILD_DIR" -j "$jobs"
}

qx_install_packages
qx_build
