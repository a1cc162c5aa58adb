#!/usr/bin/env bash
# Formats C++ sources with the repository's .clang-format.
#   scripts/format.sh [--check] [FILE...]
# Without files it takes the C++ files this branch changed against main (and
# any uncommitted ones), so that a change is formatted without reformatting the
# rest of the tree. --check changes nothing and fails if a file would change.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi

formatter=${CLANG_FORMAT:-clang-format}
if ! command -v "$formatter" >/dev/null; then
  echo "format.sh: $formatter not found (apt-get install clang-format)" >&2
  exit 2
fi

files=("$@")
if ((${#files[@]} == 0)); then
  base=${FORMAT_BASE:-main}
  mapfile -t files < <({
    git diff --name-only --diff-filter=ACMR "$base"...HEAD
    git diff --name-only --diff-filter=ACMR HEAD
  } | grep -E '\.(cpp|h)$' | sort -u)
fi
((${#files[@]})) || exit 0

if ((check)); then
  "$formatter" --style=file --dry-run --Werror "${files[@]}"
else
  "$formatter" --style=file -i "${files[@]}"
fi
