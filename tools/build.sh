#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1, with extra cmake arguments after it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -G Ninja "$@"
cmake --build "$dir" -j "$(nproc)"
