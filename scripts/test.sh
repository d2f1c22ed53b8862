#!/usr/bin/env bash
# Runs the test suite: installs what it needs, builds and runs every test with CTest.
# Usage: scripts/test.sh [PRESET [CTEST-ARGS...]]   (default, asan or tsan)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

preset=${1:-default}
shift $(( $# > 0 ? 1 : 0 ))
tralvonic_install_packages
tralvonic_install_npm
tralvonic_build "$preset"
cd "$TRALVONIC_ROOT"
ctest --preset "$preset" --no-tests=error "$@"
