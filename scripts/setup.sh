#!/usr/bin/env bash
# Installs what building and testing needs on Debian 12, then configures and builds one
# preset. Sourced by the README's commands; skips everything that is already in place.
set -euo pipefail

TRALVONIC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

TRALVONIC_PACKAGES=(
  build-essential cmake ninja-build ccache pkgconf git clang-format python3
  libboost1.81-dev libpcre2-dev libcurl4-openssl-dev qtbase5-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  chromium
)

tralvonic_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

tralvonic_install_packages() {
  local missing=()
  for package in "${TRALVONIC_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  # Node.js may come from another source than Debian; only its absence matters.
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing Debian packages: ${missing[*]}"
    tralvonic_as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive tralvonic_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# Test clients that are nobody's code here (the npm `ws` package, playwright-core).
tralvonic_install_npm() {
  local dir="$TRALVONIC_ROOT/tests/js"
  [ -f "$dir/package.json" ] || return 0
  if [ ! -d "$dir/node_modules" ] || [ "$dir/package.json" -nt "$dir/node_modules" ]; then
    echo "Installing npm packages for the tests"
    (cd "$dir" && npm install --no-audit --no-fund --loglevel=error >/dev/null && touch node_modules)
  fi
}

# tralvonic_build PRESET [TARGET...]
tralvonic_build() {
  local preset=$1; shift
  local dir="$TRALVONIC_ROOT/build/$preset"
  cd "$TRALVONIC_ROOT"
  if [ ! -f "$dir/build.ninja" ]; then
    echo "Configuring ($preset)"
    local log; log=$(mktemp)
    cmake --preset "$preset" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; return 1; }
    rm -f "$log"
  fi
  # Ninja prints every step; keep the output only when the build fails.
  local log; log=$(mktemp)
  if ! cmake --build "$dir" ${1:+--target "$@"} >"$log" 2>&1; then
    cat "$log"; rm -f "$log"; return 1
  fi
  grep -q "no work to do" "$log" || echo "Built ($preset)"
  rm -f "$log"
}
