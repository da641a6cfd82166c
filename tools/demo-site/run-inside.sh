#!/usr/bin/env bash
# Runs a command inside the demo site's namespace, where the pack's host names lead to the
# demo site and its certificate authority is trusted. Needs root; the running demo site.
#   run-inside.sh [--as-user] COMMAND [ARGS...]
# --as-user drops to the invoking user (SUDO_UID/PKEXEC_UID) after entering the namespace.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root
if [ ! -f "$state/hosts" ] || ! netns_exists; then
  echo "run-inside.sh: the demo site does not run (start it with $here/start.sh)" >&2
  exit 1
fi
as_user=
if [ "${1:-}" = "--as-user" ]; then
  as_user=${SUDO_UID:-${PKEXEC_UID:-}}
  shift
  [ -n "$as_user" ] || { echo "run-inside.sh: --as-user needs SUDO_UID or PKEXEC_UID" >&2; exit 1; }
fi
[ $# -gt 0 ] || { echo "usage: run-inside.sh [--as-user] COMMAND [ARGS...]" >&2; exit 2; }
# ip netns exec gives the command a mount namespace of its own, so these binds stay there.
exec ip netns exec "$netns" /bin/sh -c '
  mount --bind "$1" /etc/hosts &&
  mount --bind "$2" /etc/ssl/certs/ca-certificates.crt || exit 1
  user=$3; shift 3
  if [ -n "$user" ]; then exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups -- "$@"; fi
  exec "$@"' run-inside "$state/hosts" "$state/ca-bundle.crt" "$as_user" "$@"
