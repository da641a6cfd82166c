#!/usr/bin/env bash
# Builds every fuzz target (tests/fuzz/NAME/fuzz.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for FUZZ_SECONDS (default 20) over its seed corpus
# (tests/fuzz/NAME/corpus). New inputs go to a temporary folder; the repository is not changed.
# FUZZ_SEED fixes the random seed, so that a run explores the same inputs each time (CI uses it: a
# finding there is then the change's, not luck's).
# With names as arguments only those targets run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-20}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/*/fuzz.cpp; do
    names+=("$(basename "$(dirname "$source")")")
  done
fi
if [ ${#names[@]} -eq 0 ]; then echo "fuzz: no targets"; exit 0; fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVANE_FUZZ=ON \
  -DNORVANE_SANITIZE="address;undefined" -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
targets=()
for name in "${names[@]}"; do targets+=("fuzz_$name"); done
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)"

failed=0
for name in "${names[@]}"; do
  work=$(mktemp -d)
  echo "fuzz: $name for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=0 "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 ${FUZZ_SEED:+-seed=$FUZZ_SEED} -print_final_stats=1 -artifact_prefix="$work/" "$work" "$root/tests/fuzz/$name/corpus" \
      >"$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "fuzz: $name FAILED (inputs kept in $work)"
    failed=1
    continue
  fi
  grep -E '^stat::number_of_executed_units' "$work/log" || true
  rm -rf "$work"
done
exit $failed
