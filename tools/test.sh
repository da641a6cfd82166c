#!/usr/bin/env bash
# The test command: installs what it needs, builds, runs every test. Needs root (tests run in
# private network and mount namespaces).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${NORVANE_SKIP_DEPS:-0}" != 1 ]; then "$root/tools/install-deps.sh"; fi
"$root/tools/build.sh" "$root/build"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)"
