#!/usr/bin/env bash
# Stops the demo site started by start.sh and everything still running in its namespace,
# then removes the namespace and the site's state. Needs root.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root
quiet=${1:-}

stop_pid() {
  local pid=$1 waited=0
  kill -TERM "$pid" 2>/dev/null || return 0
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt 50 ]; do sleep 0.1; waited=$((waited + 1)); done
  kill -KILL "$pid" 2>/dev/null || true
}

for name in pages site; do
  if [ -f "$state/$name.pid" ]; then stop_pid "$(cat "$state/$name.pid")"; fi
done
if ip netns list 2>/dev/null | grep -qw "$netns"; then
  for pid in $(ip netns pids "$netns" 2>/dev/null); do stop_pid "$pid"; done
  ip netns delete "$netns"
fi
rm -rf "$state"
[ "$quiet" = --quiet ] || echo "demo site stopped"
