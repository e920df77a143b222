#!/usr/bin/env bash
# Installs what is missing, builds fragtally-cli and writes the report of the
# bundled sample log to out/sample/result.htm (with the weapon pictures).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh run
cmake --preset native > /dev/null
cmake --build --preset native --target fragtally-cli
mkdir -p out/sample
build/native/cli/fragtally-cli examples/sample.log -o out/sample/result.htm
echo "Open out/sample/result.htm in a browser."
