#!/bin/bash
# Shows that the Windows programs and both packages are reproducible: builds
# them twice from clean clones of one commit (HEAD unless another is named),
# in two folders whose paths differ in name and length, and compares the
# results byte for byte. Prints the hashes; exits 1 on any difference.
#
#   scripts/check-reproducible.sh [COMMIT]
#
# Uncommitted changes are not part of what it checks. The test command runs
# it for HEAD (test package.reproducible); outside a Git checkout it has
# nothing to build and exits 77, which the test counts as skipped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"

if ! commit=$(git -C "$root" rev-parse --verify --quiet "${1:-HEAD}^{commit}"); then
  echo "no commit ${1:-HEAD} in $root: nothing to build" >&2
  exit 77
fi
ombrel_install_dependencies
# The builds see what a clean clone's build sees: no SOURCE_DATE_EPOCH (which
# some tools honour), the commit's time from Git.
unset SOURCE_DATE_EPOCH
# Nor a maintainer's signing or release settings: a signature carries its own
# time, and the check is of what every clean build makes.
unset OMBREL_SIGN_PFX OMBREL_SIGN_PASSWORD OMBREL_SIGN_TIMESTAMP_URL OMBREL_RELEASE_URL OMBREL_PROJECT_URL

work=$(mktemp -d /tmp/ombrel-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
folders=("$work/one" "$work/a-second-folder-with-a-longer-name")
for folder in "${folders[@]}"; do
  echo "== Building $commit in $folder"
  git clone --quiet --no-checkout "$root" "$folder/src"
  git -C "$folder/src" checkout --quiet --detach "$commit"
  cmake -S "$folder/src" -B "$folder/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$folder/src/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$folder/build" --parallel 2 --target ombrel_packages >/dev/null
done

status=0
compare() {  # RELATIVE_PATH: the same file of both builds
  local first second
  first=$(sha256sum "${folders[0]}/build/$1" | cut -d' ' -f1)
  second=$(sha256sum "${folders[1]}/build/$1" | cut -d' ' -f1)
  if [ "$first" = "$second" ]; then
    echo "same       $first  $1"
  else
    echo "DIFFERENT  $first $second  $1"
    status=1
  fi
}
cd "${folders[0]}/build"
compare bin/Ombrel.exe
compare bin/OmbrelSet.exe
compare "$(ls packages/*.zip)"
compare "$(ls packages/OmbrelSetup-*.exe)"
exit $status
