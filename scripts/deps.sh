#!/bin/bash
# Installs what building and testing need, on a fresh Debian machine, and
# only what is missing. Sourced by run.sh and test.sh.
set -euo pipefail

ombrel_packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick fonts-noto-cjk locales tidy
  clang-format clang-tidy libbenchmark-dev
  clang libclang-rt-14-dev
  nsis zip unzip
  osslsigncode openssl python3 python3-yaml
)

ombrel_install_dependencies() {
  local missing=()
  for package in "${ombrel_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  # Node and npm for the holiday comparison: any install of them will do, so
  # Debian's packages only when there is none.
  if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    missing+=(nodejs npm)
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  # Wine takes the ANSI code page from the locale: ja_JP.UTF-8 gives 932.
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "== Generating the ja_JP.UTF-8 locale"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

# The independent list of Japan's holidays that the test holidays.against_holiday_jp
# compares the core with: the npm package at the version pinned, with its
# checksum, in tests/holidays/package-lock.json, installed into build/npm
# (never committed). Installed again only when the pin changes.
ombrel_install_node_packages() {
  local root=$1
  local dir="$root/build/npm"
  if cmp -s "$root/tests/holidays/package-lock.json" "$dir/package-lock.json" && [ -d "$dir/node_modules" ]; then
    return
  fi
  echo "== Installing the npm packages of the tests into $dir"
  mkdir -p "$dir"
  cp "$root/tests/holidays/package.json" "$root/tests/holidays/package-lock.json" "$dir/"
  (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
}

# Configures and builds the tree into build/ (the native core and tests, and
# the Windows programs under build/win).
ombrel_build() {
  local root=$1
  echo "== Configuring and building in $root/build"
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build" --parallel 2
}
