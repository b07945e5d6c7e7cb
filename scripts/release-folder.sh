#!/bin/bash
# Lays out the release folder, what both packages are made from, and packs the
# portable ZIP from it: the same bytes from every clean build of one commit.
# The files carry the commit's time (SOURCE_DATE_EPOCH when set) and fixed
# modes, which the installer keeps too; the ZIP's entries are sorted and
# carry no owner or extra time stamps. With --sign, the programs (*.exe) are
# signed by that command before the times are set and anything is packed.
#
#   release-folder.sh [--sign SIGN_COMMAND] SOURCE_DIR FOLDER OUT.zip FILE_OR_FOLDER...
set -euo pipefail
sign=""
if [ "${1-}" = --sign ]; then
  sign=$2
  shift 2
fi
source_dir=$1
folder=$(realpath -m "$2")
out=$(realpath -m "$3")
shift 3

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || true)}
# Outside a Git checkout and with no date given: the first day ZIP can store.
epoch=${epoch:-315532800}

# Gone first: a signing that fails leaves no ZIP of an earlier build behind.
rm -f "$out" "$out.tmp"
rm -rf "$folder"
mkdir -p "$folder"
# A folder given (the templates) is copied with what it holds.
cp -R "$@" "$folder/"
[ -z "$sign" ] || "$sign" "$folder"/*.exe
find "$folder" -type d -exec chmod 0755 {} +
find "$folder" -type f -exec chmod 0644 {} +
find "$folder" -exec touch -h -d "@$epoch" {} +

# ZIP keeps local time: UTC makes it the same wherever the build runs.
(cd "$folder/.." && find "$(basename "$folder")" -print | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$out.tmp")
mv "$out.tmp" "$out"
