#!/usr/bin/env bash
# The house rules that a compiler does not check: every C++ file in the project's format, the
# generated SDK declarations equal to what the generators write from the SDK tables, the host
# binding and the records kept free of the plugin's upper layers, and no part of the C++
# runtime that MinGW gets wrong.
# Usage: scripts/check-house-rules.sh   (exits non-zero and names each offence)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
set +e
tralvonic_install_packages || exit 1
cd "$TRALVONIC_ROOT"
failed=0

# 1. Format: the repository's .clang-format, applied to every tracked C++ file.
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc' '*.c')
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/tralvonic-format.$$; then
  grep -E '^[^ ].*(warning|error):' /tmp/tralvonic-format.$$ | cut -d: -f1 | sort -u |
    sed 's/^/not in the project format (clang-format -i fixes it): /'
  failed=1
fi
rm -f /tmp/tralvonic-format.$$

# 2. Generated files: re-run both generators from the committed tables and compare.
generated=$(mktemp -d)
trap 'rm -rf "$generated"' EXIT
python3 scripts/generate-host-sdk.py scripts/host-sdk "$generated" &&
  python3 scripts/generate-sim-slots.py scripts/host-sdk "$generated/HostSlots.cpp" || failed=1
for pair in HostFunctions.h:src/TeamSpeak/sdk/HostFunctions.h HostEnums.h:src/TeamSpeak/sdk/HostEnums.h \
            ErrorCodes.h:src/TeamSpeak/sdk/ErrorCodes.h HostSlots.cpp:sim/HostSlots.cpp; do
  output=${pair%%:*} committed=${pair#*:}
  if ! clang-format --assume-filename="$committed" <"$generated/$output" | cmp -s - "$committed"; then
    echo "stale generated file (re-run scripts/generate-*.py and clang-format): $committed"
    failed=1
  fi
done

# 3. Layers: the host binding and the records never include the plugin core, the game link or
# the game instance.
forbidden=$(git grep -n -E '^\s*#\s*include\s*"(core|link|instance|plugin|effects|update|Window)/' \
  -- 'src/TeamSpeak/*' 'src/Model/*')
if [ -n "$forbidden" ]; then
  printf 'include across layers (src/TeamSpeak and src/Model stand below the plugin):\n%s\n' "$forbidden"
  failed=1
fi

# 4. Parts of MinGW's C++ runtime that fail under load on Windows (README, The Windows x64
# build): its shared mutex and everything built on its atomic wait. Linux-only files may.
forbidden=$(git grep -n -E '^[^/]*(std::(shared_mutex|shared_timed_mutex|latch|barrier|counting_semaphore|binary_semaphore|stop_callback|condition_variable_any)\b|<(latch|barrier|semaphore)>)' \
  -- 'src/*' 'sim/*' 'voice/*' 'tests/*.cpp' 'tests/*.h' ':!*Posix.cpp')
if [ -n "$forbidden" ]; then
  printf 'a part of the C++ runtime that MinGW gets wrong (see README):\n%s\n' "$forbidden"
  failed=1
fi

[ "$failed" -eq 0 ] && echo "House rules: format, generated files, layers and runtime parts in order"
exit "$failed"
