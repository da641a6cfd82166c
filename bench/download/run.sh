#!/usr/bin/env bash
# Download benchmark against the local site, inside private network and mount namespaces:
# a file of NORVANE_BENCH_SIZE_MB MiB (256) with every connection limited to
# NORVANE_BENCH_RATE bytes/s (20,000,000), fetched in 5 ranges by our downloader, by
# aria2c -x5 -s5 -k1M and by curl in one stream; then the same without a limit.
# Usage: bench/download/run.sh [BUILD_DIR]   (as root)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${NORVANE_BENCH_SANDBOX:-}" ]; then
  exec env NORVANE_BENCH_SANDBOX=1 unshare -n -m "$0" "$build"
fi
ip link set lo up

size_mb=${NORVANE_BENCH_SIZE_MB:-256}
rate=${NORVANE_BENCH_RATE:-20000000}
host=dl.norvane.test
# aria2c finds no address for a name when loopback is the only interface, so all three use the address.
url=https://127.0.0.1/setup.bin
site=$build/tools/site/norvane-site
ours=$build/bench/download/norvane-bench-download
work=$(mktemp -d /tmp/norvane-bench-XXXXXX)
site_pid=
cleanup() {
  if [ -n "$site_pid" ]; then kill "$site_pid" 2>/dev/null || true; wait "$site_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/www" "$work/certs" "$work/out"
head -c $((size_mb * 1024 * 1024)) /dev/urandom > "$work/www/setup.bin"
bytes=$(stat -c %s "$work/www/setup.bin")

start_site() {  # $1: rate limit (0 = none)
  if [ -n "$site_pid" ]; then kill "$site_pid"; wait "$site_pid" 2>/dev/null || true; fi
  "$site" --root "$work/www" --cert "$work/certs/server.crt" --key "$work/certs/server.key" --rate "$1" \
    > "$work/site.log" 2>&1 &
  site_pid=$!
  for _ in $(seq 50); do curl -sfI "$url" > /dev/null 2>&1 && return 0; sleep 0.1; done
  echo "site did not start" >&2; cat "$work/site.log" >&2; exit 1
}

# Certificates, trust and hosts are made once by a short run of the site itself.
"$site" --root "$work/www" --certs "$work/certs" --trust --hosts "$host" > "$work/site.log" 2>&1 &
site_pid=$!
for _ in $(seq 50); do curl -sfI "$url" > /dev/null 2>&1 && break; sleep 0.1; done

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }
check() {  # $1: downloaded file
  cmp -s "$1" "$work/www/setup.bin" || { echo "MISMATCH: $1" >&2; exit 1; }
  rm -f "$1"
}

run_ours() {  # prints seconds; peak RSS into $work/ours.rss
  local line
  line=$("$ours" "$url" "$work/out/ours.bin" 5 | grep "^result=")
  check "$work/out/ours.bin"
  echo "$line" | sed 's/.*peak_rss_kib=\([0-9]*\).*/\1/' > "$work/ours.rss"
  echo "$line" | sed 's/.*seconds=\([0-9.]*\).*/\1/'
}
run_aria2() {
  local t0 t1
  t0=$(now)
  aria2c -q -x5 -s5 -k1M --file-allocation=none --allow-overwrite=true -d "$work/out" -o aria.bin "$url"
  t1=$(now)
  check "$work/out/aria.bin"
  elapsed "$t0" "$t1"
}
run_curl() {
  local t0 t1
  t0=$(now)
  curl -sf -o "$work/out/curl.bin" "$url"
  t1=$(now)
  check "$work/out/curl.bin"
  elapsed "$t0" "$t1"
}

start_site "$rate"
ideal=$(echo "$bytes / 5 / $rate" | bc -l)
t_ours=$(run_ours)
rss_throttled=$(cat "$work/ours.rss")
t_aria=$(run_aria2)
t_curl=$(run_curl)

start_site 0
u_ours=$(run_ours)
rss_free=$(cat "$work/ours.rss")
u_curl=$(run_curl)
u_aria=$(run_aria2)

mib=$(echo "$bytes / 1048576" | bc -l)
printf 'file %d bytes, per-connection limit %d B/s, ideal for 5 ranges %.3f s\n' "$bytes" "$rate" "$ideal"
printf 'throttled  ours %.3f s (%.3fx ideal)  aria2c %.3f s (%.3fx ideal)  curl %.3f s (%.3fx ideal)\n' \
  "$t_ours" "$(echo "$t_ours / $ideal" | bc -l)" "$t_aria" "$(echo "$t_aria / $ideal" | bc -l)" \
  "$t_curl" "$(echo "$t_curl / $ideal" | bc -l)"
printf 'throttled  ours / aria2c = %.3f\n' "$(echo "$t_ours / $t_aria" | bc -l)"
printf 'unlimited  ours %.3f s (%.0f MiB/s)  curl %.3f s (%.0f MiB/s)  aria2c %.3f s (%.0f MiB/s)\n' \
  "$u_ours" "$(echo "$mib / $u_ours" | bc -l)" "$u_curl" "$(echo "$mib / $u_curl" | bc -l)" \
  "$u_aria" "$(echo "$mib / $u_aria" | bc -l)"
printf 'unlimited  ours rate / curl rate = %.3f\n' "$(echo "$u_curl / $u_ours" | bc -l)"
printf 'peak RSS   ours %.1f MiB throttled, %.1f MiB unlimited\n' "$(echo "$rss_throttled / 1024" | bc -l)" \
  "$(echo "$rss_free / 1024" | bc -l)"
