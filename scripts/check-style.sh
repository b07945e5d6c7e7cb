#!/bin/bash
# The style the repository keeps, as tests:
#   check-style.sh format SOURCE_DIR        every C++ file as clang-format lays it out
#   check-style.sh tidy BUILD_DIR FILE...   clang-tidy finds nothing in these files
# Both read the repository's .clang-format and .clang-tidy and fail on the
# first difference or warning, printing it.
set -euo pipefail

mode=$1
shift
case "$mode" in
  format)
    cd "$1"
    # Every C++ file of the tree, tracked or new, but nothing a build made.
    mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
    clang-format --dry-run --Werror "${files[@]}"
    ;;
  tidy)
    build=$1
    shift
    clang-tidy -p "$build" --quiet --warnings-as-errors='*' "$@"
    ;;
  *)
    echo "usage: $0 format SOURCE_DIR | tidy BUILD_DIR FILE..." >&2
    exit 2
    ;;
esac
