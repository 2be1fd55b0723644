#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

kardelo_install_missing
kardelo_build
cd "$KARDELO_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600
