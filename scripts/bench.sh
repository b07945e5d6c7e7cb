#!/bin/bash
# Measures what the programs cost against their floors and writes the figures
# to build-bench/benchmarks-latest.md (docs/benchmarks.md keeps the last ones
# and tells how they are made). Not part of the test command.
#
#   scripts/bench.sh [--quick]
#
# Builds into build-bench/ (the core natively, Release and without
# sanitizers; the Windows programs as they ship), runs the Windows side under
# Wine in build-bench/win's own prefix and virtual display, and the core's
# benchmark natively. --quick runs few pairs, to try the script out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"

rounds_start=100 rounds_run=16 rounds_editor=12 rounds_core=40 repetitions=30
if [ "${1:-}" = "--quick" ]; then
  rounds_start=6 rounds_run=3 rounds_editor=2 rounds_core=6 repetitions=4
fi

ombrel_install_dependencies
out="$root/build-bench"
native="$out/native"
win="$out/win"
echo "== Building the core's benchmark in $native"
cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_WINDOWS=OFF -DOMBREL_SANITIZE=OFF \
  -DOMBREL_BENCH=ON >/dev/null
cmake --build "$native" --parallel 2 --target ombrel_core_bench
echo "== Building the programs and the Windows benchmarks in $win"
cmake -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$win" --parallel 2 --target ombrel_bench recorder

windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's#/#\\#g')"; }

figures="$out/figures.md"
rm -f "$figures"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== Sizes and imports"
shipped=$(mktemp -d)
cp "$win/bin/Ombrel.exe" "$win/bin/OmbrelSet.exe" "$shipped/"
{
  for exe in Ombrel.exe OmbrelSet.exe; do
    size=$(stat -c %s "$shipped/$exe")
    verdict=yes
    [ "$size" -lt 409600 ] || verdict="**no**"
    echo "- $exe: $size bytes ($((size / 1024)) KB of 400 KB; under it: $verdict)"
  done
  if imports=$("$root/scripts/check-imports.sh" "$shipped" 2>&1); then
    echo "- imports, Windows' own DLLs only (yes): $(echo "$imports" | paste -sd ';' | sed 's/;/; /g')"
  else
    echo "- imports (**not Windows' own only**): $(echo "$imports" | paste -sd ';' | sed 's/;/; /g')"
  fi
} >>"$figures"
rm -rf "$shipped"

echo "== Under Wine: the launcher, its run of entries, the editor, the core with code page 932"
"$root/scripts/wine-fixture.sh" start "$win" "$win/bin/recorder.exe"
trap '"$root/scripts/wine-fixture.sh" stop "$win"' EXIT
work="$win/bench-work"
rm -rf "$work"
wine_figures="$win/figures-wine.md"
rm -f "$wine_figures"
"$win/wine-run" "$win/bin/ombrel_bench.exe" "$(windows_path "$work")" "$(windows_path "$wine_figures")" \
  start=$rounds_start run=$rounds_run editor=$rounds_editor core=$rounds_core
cat "$wine_figures" >>"$figures"

echo "== Natively: the core's reader and writer (Google Benchmark)"
"$native/tests/bench/ombrel_core_bench" --benchmark_repetitions=$repetitions \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 --figures="$out/figures-core.md"
cat "$out/figures-core.md" >>"$figures"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

report="$out/benchmarks-latest.md"
{
  echo "Run of $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo
  echo "- machine: $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores," \
    "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo); $(uname -sr)"
  echo "- $(wine --version), $(x86_64-w64-mingw32-g++-posix --version | head -n 1), $(g++ --version | head -n 1)"
  echo "- load average (1, 5, 15 min) before: $load_before; after: $load_after"
  echo "- pairs: start $rounds_start, run $rounds_run, editor $rounds_editor rounds, core under Wine $rounds_core," \
    "native $repetitions repetitions"
  echo
  echo "| Figure | Ratio (median) | Spread (quartiles) | Aim | Met | Context: medians (quartiles) |"
  echo "| --- | --- | --- | --- | --- | --- |"
  grep '^| ' "$figures"
  echo
  grep -v '^| ' "$figures"
} >"$report"
echo "== Figures written to $report"
cat "$report"
