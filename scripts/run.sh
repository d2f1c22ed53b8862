#!/usr/bin/env bash
# The main job: builds the plugin and runs it inside the simulated TeamSpeak client,
# which prints what the plugin does to the host until Ctrl-C. Arguments go to tralvonic-host:
# `bash scripts/run.sh --demo` plays the built-in game session and stops at its end.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

tralvonic_install_packages
# The demo game script (tests/js/demo-game.js) needs the WebSocket package.
tralvonic_install_npm
tralvonic_build default
exec "$TRALVONIC_ROOT/build/default/tralvonic-host" "$@"
