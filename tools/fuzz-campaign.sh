#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The long fuzzing campaign: builds the fuzz targets optimised, with ASan and
# UBSan, then runs every target for the given number of executions (10,000,000
# unless told), starting from its seeds in fuzz/corpus. Prints, per target,
# the executions, executions per second, the coverage reached (cov: edges,
# ft: features), the wall time and any finding. New corpus entries and
# findings go to a scratch folder, never into the tree. Exits non-zero when
# any target found something.
#
#   tools/fuzz-campaign.sh [executions-per-target]
#
# KARDELO_FUZZ_BUILD    where the targets are built (default build-fuzz)
# KARDELO_FUZZ_SCRATCH  where corpora, logs and findings go (default a new /tmp folder)
# KARDELO_FUZZ_TARGETS  only these targets, blank-separated (default all)
# KARDELO_FUZZ_JOBS     how many targets run at once (default the number of cores)
# ASAN_OPTIONS          as given, or malloc_context_size=0 (see below)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

runs="${1:-10000000}"
build="${KARDELO_FUZZ_BUILD:-$KARDELO_ROOT/build-fuzz}"
scratch="${KARDELO_FUZZ_SCRATCH:-$(mktemp -d /tmp/kardelo-fuzz.XXXXXX)}"
jobs="${KARDELO_FUZZ_JOBS:-$(nproc)}"

kardelo_install_missing "${KARDELO_SANITIZE_PACKAGES[@]}"
# Optimised: the campaign's hours go several times further than in the
# sanitizer suite's Debug build, and the sanitizers see the same code.
kardelo_configure_sanitized "$build" RelWithDebInfo -DKARDELO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_targets >/dev/null

# Qt's libraries keep no frame pointers, so a malloc's stack as ASan records
# it runs on into stale stack words, a new trace almost every time: over
# millions of runs their store alone grows past libFuzzer's memory limit.
# The campaign records none; replay a finding with the target itself for
# the full report.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"

# run_target name fuzzer corpus options: one target, its row into its folder.
run_target() {
  local name="$1" fuzzer="$2" corpus="$3" options="$4"
  local work="$scratch/$name"
  mkdir -p "$work/corpus"
  local log="$work/fuzz.log" finding="none" started=$SECONDS
  # shellcheck disable=SC2086 # the options are separate words
  if ! "$fuzzer" -runs="$runs" -print_final_stats=1 -timeout=10 $options -artifact_prefix="$work/" \
    "$work/corpus" "$corpus" >"$log" 2>&1; then
    finding="$(find "$work" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
      -o -name 'oom-*' -o -name 'slow-unit-*' \) | head -n 1)"
    finding="${finding:-exit status, see $log}"
  fi
  local executions speed coverage
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
  printf '%-18s %12s %9s %7s %8s %7ss  %s\n' "$name" "${executions:-?}" "${speed:-?}" \
    "$(echo "$coverage" | awk '{print $2}')" "$(echo "$coverage" | awk '{print $4}')" \
    "$((SECONDS - started))" "$finding" >"$work/row"
}

echo "executions per target: $runs, $jobs at a time; corpora, logs and findings: $scratch"
names=()
while IFS=$'\t' read -r name fuzzer corpus options; do
  if [ -n "${KARDELO_FUZZ_TARGETS:-}" ] && [[ " $KARDELO_FUZZ_TARGETS " != *" $name "* ]]; then
    continue
  fi
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n
  done
  names+=("$name")
  run_target "$name" "$fuzzer" "$corpus" "$options" &
done <"$build/fuzz/campaign-targets.tsv"
wait

printf '%-18s %12s %9s %7s %8s %8s  %s\n' target executions exec/s cov ft time finding
failed=0
for name in "${names[@]}"; do
  cat "$scratch/$name/row"
  grep -q '  none$' "$scratch/$name/row" || failed=1
done
exit "$failed"
