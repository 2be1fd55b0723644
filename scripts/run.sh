#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, serves the bundled sample library on
# 127.0.0.1:18418 and starts Kardelo against it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PORT=18418
kardelo_install_missing
kardelo_build kardelo kardelo-sample-server

if curl -s --noproxy "*" -o /dev/null "http://127.0.0.1:$PORT/" 2>/dev/null; then
  echo "Port $PORT is already in use; stop whatever serves it and try again." >&2
  exit 1
fi

# Lectures go out slowly enough to watch the percentage and to cancel.
"$KARDELO_BUILD/tools/kardelo-sample-server" --port "$PORT" --audio-rate 20 --exit-with-pid $$ &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT

for _ in $(seq 1 50); do
  curl -s --noproxy "*" -o /dev/null "http://127.0.0.1:$PORT/version.txt" && break
  sleep 0.1
done

# A proxy set for the desktop session must not swallow loopback requests.
export no_proxy="127.0.0.1,localhost${no_proxy:+,$no_proxy}"
"$KARDELO_BUILD/src/kardelo"
