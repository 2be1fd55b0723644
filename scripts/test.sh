#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test; then builds the whole
# suite again with the address and undefined-behaviour sanitizers, with the
# fuzz targets, and runs that too. CI runs this.
#   bash scripts/test.sh                    both runs
#   bash scripts/test.sh --no-sanitizers    the plain run only, for a quick check
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

sanitizers=yes
if [ "${1:-}" = "--no-sanitizers" ]; then
  sanitizers=no
fi

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
  cd "$KARDELO_SANITIZE_BUILD"
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure --timeout 900
fi
