#!/usr/bin/env bash
# The main job: builds everything, starts the local demo site (the maker's download, page and
# analytics servers under the product pack's host names, in a private network namespace) and runs
# the installer against it. Needs root. The demo site is stopped again on exit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${NORVANE_SKIP_DEPS:-0}" != 1 ]; then "$root/tools/install-deps.sh"; fi
"$root/tools/build.sh" "$root/build"

trap '"$root/tools/demo-site/stop.sh" --quiet || true' EXIT
NORVANE_DEMO_SKIP_BUILD=1 "$root/tools/demo-site/start.sh"
status=0
"$root/tools/demo-site/run-inside.sh" "$root/build/norvane-web-setup" || status=$?
log=/opt/norvane_down/norvane-web-setup/Log/norvane_down.log
echo "installer ended with status $status; its log ($log) ends:"
tail -n 20 "$log" 2>/dev/null || echo "(no log)"
exit "$status"
