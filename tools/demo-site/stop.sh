#!/usr/bin/env bash
# Stops the demo site started by start.sh and everything still running in its namespace,
# then removes the namespace and the site's state. Needs root.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root
quiet=${1:-}

# Asks every process to end, waits up to five seconds for all of them, then kills the rest.
stop_pids() {
  local pid waited=0
  [ $# -gt 0 ] || return 0
  kill -TERM "$@" 2>/dev/null || true
  for pid in "$@"; do
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 50 ]; do sleep 0.1; waited=$((waited + 1)); done
    kill -KILL "$pid" 2>/dev/null || true
  done
}

pids=()
if pid=$(server_pid pages norvane-demo-pages); then pids+=("$pid"); fi
if pid=$(server_pid site norvane-site); then pids+=("$pid"); fi
stop_pids "${pids[@]}"
if netns_exists; then
  stop_pids $(ip netns pids "$netns" 2>/dev/null)
  ip netns delete "$netns"
fi
rm -rf "$state"
[ "$quiet" = --quiet ] || echo "demo site stopped"
