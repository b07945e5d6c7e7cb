#!/bin/bash
# Makes the portable ZIP: the given files in one folder of the archive, the
# same bytes from every clean build of one commit. The entries are sorted,
# carry the commit's time (SOURCE_DATE_EPOCH when set) and fixed modes, and
# no owner or extra time stamps.
#
#   make-zip.sh SOURCE_DIR OUT.zip FOLDER FILE...
set -euo pipefail
source_dir=$1 out=$(realpath -m "$2") folder=$3
shift 3

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || true)}
# Outside a Git checkout and with no date given: the first day ZIP can store.
epoch=${epoch:-315532800}

stage=$(mktemp -d "${out%/*}/.zip-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$folder"
for file in "$@"; do
  cp "$file" "$stage/$folder/"
done
chmod 0755 "$stage/$folder"
chmod 0644 "$stage/$folder"/*
touch -h -d "@$epoch" "$stage/$folder" "$stage/$folder"/*

rm -f "$out"
# ZIP keeps local time: UTC makes it the same wherever the build runs.
(cd "$stage" && find "$folder" -print | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$out.tmp")
mv "$out.tmp" "$out"
