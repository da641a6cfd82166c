# Shared by the demo site's scripts: where things are, and which names the site answers for.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${NORVANE_BUILD_DIR:-$root/build}
state=${NORVANE_DEMO_STATE:-/run/norvane-demo}
netns=${NORVANE_DEMO_NETNS:-norvane-demo}
# The setup download is served by the test site on one loopback address, the maker's pages and
# the analytics collector by the pages server on another, both on 443 and 80.
download_address=127.0.0.1
pages_address=127.0.0.2

need_root() {
  if [ "$(id -u)" != 0 ]; then
    echo "$(basename "$0"): needs root (network namespace, bind mounts)" >&2
    exit 1
  fi
}

# Addresses named in the product pack's UrlInfo.ini files (UTF-16LE) for the given keys; the
# shipped pack's addresses while the pack is not in the tree.
pack_urls() {
  local pattern=$1 file
  {
    for file in "$root"/resources/pack/*/UrlInfo.ini; do
      [ -f "$file" ] || continue
      iconv -f UTF-16LE -t UTF-8 "$file" | sed '1s/^\xef\xbb\xbf//' | tr -d '\r'
    done
    if ! compgen -G "$root/resources/pack/*/UrlInfo.ini" > /dev/null; then
      echo "STR_DOWN_URL=https://dl.norvane.com/vellumpod/norvane-vellumpod_setup.exe"
      echo "STR_LICENCE_URL=https://www.norvane.com/producturl?key=license_agreement&pid=169&lang=English"
      echo "STR_INSTALL_URL=https://www.norvane.com/producturl?key=installed&pid=169&lang=English"
    fi
  } | sed -n "s/^\($pattern\)=//p" | sort -u
}

url_host() { sed -E 's#^[a-zA-Z]+://([^/:?]+).*#\1#'; }
url_path() { sed -E 's#^[a-zA-Z]+://[^/]+(/[^?]*)?.*#\1#'; }

download_hosts() { pack_urls 'STR_DOWN_URL\|STR_DOWN_URL_X64' | url_host | sort -u; }
download_paths() { pack_urls 'STR_DOWN_URL\|STR_DOWN_URL_X64' | url_path | sort -u; }
page_hosts() {
  { pack_urls 'STR_LICENCE_URL\|STR_INSTALL_URL' | url_host
    grep -v '^\s*\(#\|$\)' "$here/collector-hosts.txt"
  } | sort -u
}

netns_exists() { ip netns list 2>/dev/null | awk '{print $1}' | grep -qxF "$netns"; }

# The pid kept in $state/NAME.pid when it still names that server (a stale file may not).
server_pid() {
  local name=$1 program=$2 pid
  [ -f "$state/$name.pid" ] || return 1
  pid=$(cat "$state/$name.pid")
  [ "$(basename "$(readlink "/proc/$pid/exe" 2>/dev/null)")" = "$program" ] || return 1
  echo "$pid"
}
