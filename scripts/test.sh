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
# The window tests type on the virtual display's keyboard and wait for
# other processes; on a loaded machine a key or a wait can be lost. A test
# that fails runs once more, and both runs stay in the log: a fault that
# shows every time still fails the run.
ctest --output-on-failure --parallel 2 --repeat until-pass:2 "$@"
