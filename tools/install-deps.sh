#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
packages=$(grep -v '^#' "$here/packages.txt" | tr '\n' ' ')
export DEBIAN_FRONTEND=noninteractive
apt-get update
# shellcheck disable=SC2086
apt-get install -y --no-install-recommends $packages
