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
ctest --output-on-failure --parallel 2 "$@"
