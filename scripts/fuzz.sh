#!/bin/bash
# The longer fuzz run of the portable core: builds the fuzzers (clang,
# libFuzzer, AddressSanitizer, UBSan) and runs each in turn, one at a time,
# then prints what each did.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   SECONDS per fuzzer (600), TARGETs read write stamp
# Each fuzzer grows a corpus of the build folder's own, kept for the next run;
# the seeds in tests/fuzz/corpus are only read. A crash stops that fuzzer and
# leaves its input under artifacts/ in the build folder: once mended, the input
# joins tests/fuzz/corpus/<target>/. OMBREL_FUZZ_DIR names another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"

seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(read write stamp)
build=${OMBREL_FUZZ_DIR:-$root/build/fuzz-long}

ombrel_install_dependencies
echo "== Building the fuzzers in $build"
cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --parallel 2

status=0
for target in "${targets[@]}"; do
  work=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/$target.log
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$target for ${seconds}s (log: $log)"
  if "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$work" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "   no crash"
  else
    echo "   CRASH: the report is in $log, the input in $artifacts/"
    status=1
  fi
  # libFuzzer's last status line holds the coverage (cov: edges, ft: features)
  # and the corpus; its final stats the executions.
  echo "   $(grep -E '^#[0-9]+' "$log" | tail -1)"
  grep -E 'stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" |
    sed 's/^/   /'
  echo "   corpus: $(find "$work" -type f | wc -l) inputs in $work"
done
exit $status
