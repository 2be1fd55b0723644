#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test; then builds the whole
# suite again with the address and undefined-behaviour sanitizers, with the
# fuzz targets, and runs that too; then builds the suites that run threads
# with the thread sanitizer and runs those. CI runs this.
#   bash scripts/test.sh                    all three runs
#   bash scripts/test.sh --no-tsan          without the thread sanitizer's run
#   bash scripts/test.sh --no-sanitizers    the plain run only, for a quick check
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

sanitizers=yes
tsan=yes
for option in "$@"; do
  case "$option" in
    --no-sanitizers) sanitizers=no tsan=no ;;
    --no-tsan) tsan=no ;;
    *)
      echo "usage: bash scripts/test.sh [--no-tsan | --no-sanitizers]" >&2
      exit 2
      ;;
  esac
done

if [ "$sanitizers" = yes ]; then
  kardelo_install_missing "${KARDELO_TEST_ONLY_PACKAGES[@]}" "${KARDELO_SANITIZE_PACKAGES[@]}"
else
  kardelo_install_missing "${KARDELO_TEST_ONLY_PACKAGES[@]}"
fi
kardelo_build
(cd "$KARDELO_BUILD" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600)

if [ "$sanitizers" = yes ]; then
  kardelo_build_sanitized
  # Leaks are not checked: the libraries under Qt keep one-time allocations
  # to the end, which would drown a real leak in noise.
  (cd "$KARDELO_SANITIZE_BUILD" &&
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
      ctest --output-on-failure --timeout 900)
fi

if [ "$tsan" = yes ]; then
  kardelo_build_thread_sanitized
  # Reports from inside the libraries, which are not built with the
  # sanitizer, are left out (their locks are invisible to it, so it would
  # see races in their every hand-over); what remains is kept narrow in
  # tests/tsan.supp. plain-fork.py lets the runtime follow the processes the
  # tests start (sound servers, buses, the program itself).
  (cd "$KARDELO_THREAD_SANITIZE_BUILD" &&
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$KARDELO_ROOT/tests/tsan.supp" \
      QT_QPA_PLATFORM=offscreen python3 "$KARDELO_ROOT/scripts/plain-fork.py" \
      ctest -R "$(kardelo_thread_sanitized_tests)" --output-on-failure --timeout 900)
fi
