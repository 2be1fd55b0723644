#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots of the real program under a virtual X
# display: the catalogue, a conference's lectures, and the favourites after a
# download, one of them played to its middle and paused; then the keyboard's
# focus rim on a row button and the About window, which the README does not
# show but a change of layout must leave as they are. Needs a build (bash scripts/run.sh or scripts/test.sh) and the
# packages xvfb, xdotool and imagemagick.
#   tools/take-screenshots.sh [output folder]   (default docs/screenshots)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KARDELO_BUILD:-$ROOT/build}"
OUT="${1:-$ROOT/docs/screenshots}"
PORT=18418
DISPLAY_NUMBER=:77

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
mkdir -p "$OUT"

# A copy of the program in a scratch folder, so its favourites folder starts
# empty and the user's own stays untouched.
scratch="$(mktemp -d)"
cp "$BUILD/src/kardelo" "$scratch/kardelo"

Xvfb "$DISPLAY_NUMBER" -screen 0 1024x700x24 >/dev/null 2>&1 &
xvfb=$!
"$BUILD/tools/kardelo-sample-server" --port "$PORT" --audio-rate 0 >/dev/null &
server=$!
trap 'kill "$server" "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
export DISPLAY="$DISPLAY_NUMBER"
export no_proxy="127.0.0.1,localhost${no_proxy:+,$no_proxy}"

for _ in $(seq 1 50); do
  curl -s --noproxy "*" -o /dev/null "http://127.0.0.1:$PORT/version.txt" && break
  sleep 0.1
done

# The id of the first window whose title matches $1, once there is one (10 s
# at most); $2 names it in the error.
await_window() {
  local found=""
  for _ in $(seq 1 100); do
    found="$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)"
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || { echo "$2 did not appear" >&2; exit 1; }
  echo "$found"
}

"$scratch/kardelo" &
window="$(await_window '^Kardelo V' 'the window')"
sleep 1.5

# Points inside the window (menu bar included): the first row's action
# button, the middle of the player's position bar and its play button.
menu=24
row_button=(703 $((75 + menu)))
position_middle=(450 $((487 + menu)))
play_button=(167 $((517 + menu)))

shot() { import -window "$window" "$OUT/$1"; }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 1.5; }

shot catalogue.png
click "${row_button[@]}"      # 进 入
shot lectures.png
click "${row_button[@]}"      # 下 载
sleep 1                       # the favourites view comes 500 ms after the download
click "${row_button[@]}"      # 播 放
click "${position_middle[@]}"
click "${play_button[@]}"     # pause: the row says how far it was heard
shot favourites.png
xdotool key --window "$window" Tab Tab
sleep 0.5
shot focus.png
xdotool key --window "$window" alt+h Return
about="$(await_window '^版本信息' 'the About window')"
sleep 1
import -window "$about" "$OUT/about.png"
echo "Screenshots written to $OUT"
