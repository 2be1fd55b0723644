#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the lecture audio of the sample library: each lecture is its own title
# spoken in Mandarin, encoded as WMA like the lectures of the real library. A
# lecture with a text in sample-speech/ (named as its audio file, .txt for
# .wma) reads that text instead: minutes of speech to try the play speed and
# the listening marks on, at a low bit rate that keeps its download short.
# The results are committed, so running the sample needs neither tool; run
# this after adding lectures, once kardelo-library has built the lecture lists
# (see README.md).
#
#   tools/make-sample-audio.sh           make the files that are missing
#   tools/make-sample-audio.sh --force   make every file again
#
# Needs: apt-get install espeak-ng ffmpeg
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
library=$here/sample-library

force=0
case "${1:-}" in
  "") ;;
  --force) force=1 ;;
  *) echo "usage: $0 [--force]" >&2; exit 2 ;;
esac

for tool in espeak-ng ffmpeg iconv; do
  if ! command -v "$tool" >/dev/null; then
    echo "$0: $tool is missing (apt-get install espeak-ng ffmpeg)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each lecture file the sample server serves, with its title, taken from the
# built lecture lists as the client reads them: GB2312, CR LF, the title
# before the first "%", the address after the first "*".
root=http://127.0.0.1:18418/
for list in "$library"/lists/*.zip; do
  iconv -f GB2312 -t UTF-8 "$list" | tr -d '\r'
done | awk -v root="$root" '
  index($0, "%") && index($0, "*") {
    title = substr($0, 1, index($0, "%") - 1)
    address = substr($0, index($0, "*") + 1)
    if (substr(address, 1, length(root)) == root)
      printf "%s\t%s\n", substr(address, length(root) + 1), title
  }' >"$work/manifest"

made=0
while IFS=$'\t' read -r relative title; do
  case "$relative" in
    *.wma) ;;
    *) echo "$0: $relative: only .wma lectures can be made here" >&2; exit 1 ;;
  esac
  target=$library/$relative
  if [ "$force" = 0 ] && [ -s "$target" ]; then
    continue
  fi
  mkdir -p "$(dirname "$target")"
  # The text goes through a file as UTF-8 so the locale cannot garble it.
  # The plain Mandarin voice of espeak-ng 1.51 reads the tone digits of its
  # own pinyin aloud in English; the pinyin voice speaks the characters.
  speech=$here/sample-speech/$(basename "$relative" .wma).txt
  encoding=(-ar 44100 -b:a 128k)
  if [ -f "$speech" ]; then
    cp "$speech" "$work/title.txt"
    encoding=(-ar 22050 -b:a 24k)
  else
    printf '%s\n' "$title" >"$work/title.txt"
  fi
  espeak-ng -v cmn-latn-pinyin -s 150 -b 1 -f "$work/title.txt" -w "$work/speech.wav"
  # bitexact and no metadata: the same title always gives the same bytes, so
  # remaking the audio does not churn the committed files.
  ffmpeg -nostdin -hide_banner -loglevel error -y -i "$work/speech.wav" \
    -map_metadata -1 -fflags +bitexact -flags:a +bitexact \
    "${encoding[@]}" -ac 1 -c:a wmav2 "$work/lecture.wma"
  mv "$work/lecture.wma" "$target"
  echo "made $relative ($(stat -c %s "$target") bytes): $title"
  made=$((made + 1))
done <"$work/manifest"

echo "$made lecture file(s) made"
