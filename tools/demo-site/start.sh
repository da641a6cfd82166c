#!/usr/bin/env bash
# Starts the demo site in its own network namespace: the demo setup program for download, the
# maker's pages and an analytics collector, over HTTPS and HTTP under the product pack's host
# names. Run programs against it with run-inside.sh; stop it with stop.sh. Needs root.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root

if server_pid site norvane-site > /dev/null && server_pid pages norvane-demo-pages > /dev/null; then
  echo "demo site already runs (state in $state)"
  exit 0
fi
"$here/stop.sh" --quiet
# A start that fails half way leaves no namespace, server or state behind.
trap 'status=$?; if [ $status -ne 0 ]; then "$here/stop.sh" --quiet || true; fi' EXIT

# NORVANE_DEMO_SKIP_BUILD=1 when the caller has built the site's programs already.
if [ "${NORVANE_DEMO_SKIP_BUILD:-0}" != 1 ]; then
  if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
  fi
  cmake --build "$build" --target norvane-site norvane-demo-pages norvane-demo-setup -j 2 >/dev/null
fi

mapfile -t dl_hosts < <(download_hosts)
mapfile -t pg_hosts < <(page_hosts)
mapfile -t dl_paths < <(download_paths)
if [ ${#dl_hosts[@]} -eq 0 ] || [ ${#dl_paths[@]} -eq 0 ]; then
  echo "start.sh: no download address in resources/pack/*/UrlInfo.ini" >&2
  exit 1
fi
for host in "${dl_hosts[@]}"; do
  if printf '%s\n' "${pg_hosts[@]}" | grep -qxF "$host"; then
    echo "start.sh: $host is both a download and a page host; the demo site keeps them apart" >&2
    exit 1
  fi
done

mkdir -p "$state/www" "$state/certs"
for path in "${dl_paths[@]}"; do
  mkdir -p "$state/www$(dirname "$path")"
  cp "$build/tools/demo-setup/norvane-demo-setup.exe" "$state/www$path"
done
{
  echo "127.0.0.1 localhost"
  echo "::1 localhost"
  for host in "${dl_hosts[@]}"; do echo "$download_address $host"; done
  for host in "${pg_hosts[@]}"; do echo "$pages_address $host"; done
} > "$state/hosts"
all_hosts=$(printf '%s,' "${dl_hosts[@]}" "${pg_hosts[@]}")
"$build/tools/demo-site/norvane-demo-pages" --make-certs "$state/certs" --hosts "${all_hosts%,}"
cat /etc/ssl/certs/ca-certificates.crt "$state/certs/ca.crt" > "$state/ca-bundle.crt"
: > "$state/analytics.log"

ip netns add "$netns"
ip -n "$netns" link set lo up

# Each server runs detached in the namespace; its pid is kept to stop exactly it.
start_server() {
  local name=$1; shift
  setsid ip netns exec "$netns" "$@" > "$state/$name.log" 2>&1 < /dev/null &
  echo $! > "$state/$name.pid"
  local waited=0
  until grep -q "serving" "$state/$name.log" 2>/dev/null; do
    if ! kill -0 "$(cat "$state/$name.pid")" 2>/dev/null || [ $waited -ge 100 ]; then
      echo "start.sh: $name did not start:" >&2
      cat "$state/$name.log" >&2
      "$here/stop.sh" --quiet
      exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
}
start_server site "$build/tools/site/norvane-site" --root "$state/www" \
  --cert "$state/certs/server.crt" --key "$state/certs/server.key" --hits "$state/download.log"
start_server pages "$build/tools/demo-site/norvane-demo-pages" --address "$pages_address" \
  --cert "$state/certs/server.crt" --key "$state/certs/server.key" \
  --hits "$state/analytics.log" --log "$state/page-hits.log"

echo "demo site runs in network namespace $netns"
for host in "${dl_hosts[@]}"; do
  for path in "${dl_paths[@]}"; do echo "  setup:     https://$host$path"; done
done
for host in "${pg_hosts[@]}"; do echo "  pages:     https://$host/"; done
echo "  analytics: $state/analytics.log"
echo "run a program against it: $here/run-inside.sh PROGRAM [ARGS...]"
