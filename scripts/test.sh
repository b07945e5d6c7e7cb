#!/bin/bash
# Builds everything and runs every test: the native unit tests and the
# Windows tests under Wine, in one ctest run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"

ombrel_install_dependencies
ombrel_install_node_packages "$root"
ombrel_build "$root"
echo "== Running the tests"
cd "$root/build"
# No test is run again: each waits for what it needs (a file, a window, a
# process's word), so one that fails has found a fault.
ctest --output-on-failure --parallel 2 "$@"
