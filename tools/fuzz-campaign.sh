#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The long fuzzing campaign: every fuzz target in turn, one process at a
# time, for the given number of executions each (10,000,000 unless told),
# starting from its seeds in fuzz/corpus. Prints, per target, the executions,
# executions per second, the coverage reached (cov: edges, ft: features) and
# any finding. New corpus entries and findings go to a scratch folder, never
# into the tree. Exits non-zero when any target found something.
#
#   tools/fuzz-campaign.sh [executions-per-target]
#
# KARDELO_FUZZ_BUILD    the build made with -DKARDELO_FUZZ=ON (default build-fuzz)
# KARDELO_FUZZ_SCRATCH  where corpora, logs and findings go (default a new /tmp folder)
# KARDELO_FUZZ_TARGETS  only these targets, blank-separated (default all)
# ASAN_OPTIONS          as given, or malloc_context_size=0 (see below)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-10000000}"
build="${KARDELO_FUZZ_BUILD:-$root/build-fuzz}"
scratch="${KARDELO_FUZZ_SCRATCH:-$(mktemp -d /tmp/kardelo-fuzz.XXXXXX)}"
list="$build/fuzz/campaign-targets.tsv"
if [ ! -f "$list" ]; then
  echo "no fuzz build in $build: configure it with -DKARDELO_FUZZ=ON (see CONTRIBUTING.md) and build it" >&2
  exit 2
fi
mkdir -p "$scratch"
# Qt's libraries keep no frame pointers, so a malloc's stack as ASan records
# it runs on into stale stack words, a new trace almost every time: over
# millions of runs their store alone grows past libFuzzer's memory limit.
# The campaign records none; replay a finding with the target itself for
# the full report.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
echo "executions per target: $runs; corpora, logs and findings: $scratch"
printf '%-18s %12s %9s %7s %8s  %s\n' target executions exec/s cov ft finding
failed=0
while IFS=$'\t' read -r name fuzzer corpus options; do
  if [ -n "${KARDELO_FUZZ_TARGETS:-}" ] && [[ " $KARDELO_FUZZ_TARGETS " != *" $name "* ]]; then
    continue
  fi
  work="$scratch/$name"
  mkdir -p "$work/corpus"
  log="$work/fuzz.log"
  # shellcheck disable=SC2086 # the options are separate words
  if "$fuzzer" -runs="$runs" -print_final_stats=1 -timeout=10 $options -artifact_prefix="$work/" \
    "$work/corpus" "$corpus" >"$log" 2>&1; then
    finding="none"
  else
    failed=1
    finding="$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' -o -maxdepth 1 -name 'timeout-*' \
      -o -maxdepth 1 -name 'oom-*' -o -maxdepth 1 -name 'slow-unit-*' | head -n 1)"
    finding="${finding:-exit status, see $log}"
  fi
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
  printf '%-18s %12s %9s %7s %8s  %s\n' "$name" "${executions:-?}" "${speed:-?}" \
    "$(echo "$coverage" | awk '{print $2}')" "$(echo "$coverage" | awk '{print $4}')" "$finding"
done <"$list"
exit "$failed"
