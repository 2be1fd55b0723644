#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the C++ files that do not follow .clang-format; fails when there are any.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format="${CLANG_FORMAT:-clang-format}"
unformatted=0
while IFS= read -r file; do
  if ! "$format" --style=file "$file" | cmp -s - "$file"; then
    echo "not formatted: $file (clang-format -i $file)"
    unformatted=$((unformatted + 1))
  fi
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench tools -name '*.cpp' -o -name '*.h')
echo "$unformatted files not formatted"
[ "$unformatted" -eq 0 ]
