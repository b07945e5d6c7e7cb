#!/bin/bash
# Checks that every program in a folder imports only DLLs that come with
# Windows, so the programs run from any folder of a fresh system; and that the
# launcher imports kernel32 and the C runtime alone, which keeps its same-day
# start as cheap as an empty program's.
set -euo pipefail
folder=$1
objdump=x86_64-w64-mingw32-objdump

windows_own='^(kernel32|user32|gdi32|comdlg32|comctl32|shell32|ole32|oleaut32|advapi32|msvcrt|shlwapi|uxtheme|version|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
launcher_own='^(kernel32|msvcrt)\.dll$'

status=0
shopt -s nullglob
programs=("$folder"/*.exe)
if [ ${#programs[@]} -eq 0 ]; then
  echo "no programs in $folder" >&2
  exit 1
fi
for exe in "${programs[@]}"; do
  name=$(basename "$exe")
  allowed=$windows_own
  [ "$name" = "Ombrel.exe" ] && allowed=$launcher_own
  dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    if ! [[ $dll =~ $allowed ]]; then
      echo "$name imports $dll" >&2
      status=1
    fi
  done
  echo "$name: $(echo $dlls)"
done
exit $status
