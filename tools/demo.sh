#!/usr/bin/env bash
# The main job: builds the installer and runs it. Needs root.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${NORVANE_SKIP_DEPS:-0}" != 1 ]; then "$root/tools/install-deps.sh"; fi
"$root/tools/build.sh" "$root/build"
"$root/build/norvane-web-setup"
