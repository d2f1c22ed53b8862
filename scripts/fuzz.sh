#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": Clang 16, ASan + UBSan) and runs each on its seed
# corpus for the given number of seconds (default 12 each). New inputs go to
# build/fuzz/corpus/<target>; crashes and their inputs to build/fuzz/findings/.
#   bash scripts/fuzz.sh [seconds] [target...]     e.g. bash scripts/fuzz.sh 3600 envelope
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
# Clang 16: the C++20 library needs its source_location built-in, which Clang 14 lacks.
tralvonic_install_packages clang-16 libclang-rt-16-dev

SECONDS_EACH=${1:-12}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(envelope payload settings origin dispatch)

BINARIES=()
for target in "${TARGETS[@]}"; do BINARIES+=("fuzz_$target"); done
tralvonic_build fuzz "${BINARIES[@]}"

BUILD="$TRALVONIC_ROOT/build/fuzz"
mkdir -p "$BUILD/findings"
for target in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$target"
  mkdir -p "$corpus"
  echo "Fuzzing $target for ${SECONDS_EACH}s"
  # One job, the seeds read along with what earlier runs found; the log stays only on failure.
  log="$BUILD/findings/$target.log"
  if ! "$BUILD/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=4096 \
      -max_len=65536 -artifact_prefix="$BUILD/findings/$target-" -print_final_stats=1 \
      "$corpus" "$TRALVONIC_ROOT/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target failed; its input is in $BUILD/findings/"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | sed "s/^/  $target /"
done
