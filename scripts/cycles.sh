#!/usr/bin/env bash
# The long run of the plugin's life cycle: 1000 times load, start, a game's Initiate, stop and
# unload of the built library in the simulated client, with no thread, mapping or memory left
# behind. Built without sanitizers (preset default), as resident memory is what it measures.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
tralvonic_install_packages
tralvonic_build default
"$TRALVONIC_ROOT/build/default/tests/tralvonic_tests" --gtest_also_run_disabled_tests \
  --gtest_filter='PluginCycles.*'
