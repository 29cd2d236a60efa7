#!/usr/bin/env bash
# Starts a range broker on this PC with the shipped club configuration, for trying lanes and a
# coach on one machine: Mosquitto on localhost, users lane1 to lane3 (lanes), coach and officer, each with
# the password "zark", and the live page on port 8080 with its user spectator. Stop it with Ctrl+C.
#
#   bash scripts/range.sh [--port N] [--page-port N] [--tls]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh

port=1883
page_port=8080
tls=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --port) port=$2; shift 2 ;;
    --page-port) page_port=$2; shift 2 ;;
    --tls) tls=1; shift ;;
    *) echo "usage: bash scripts/range.sh [--port N] [--page-port N] [--tls]" >&2; exit 2 ;;
  esac
done

folder=${ZARK_RANGE_DIR:-$PWD/build/range}
mkdir -p "$folder/data"
printf 'lane lane1 zark\nlane lane2 zark\nlane lane3 zark\ncoach coach zark\nofficer officer zark\nspectator spectator spectator\n' |
  bash range/make-users.sh "$folder" club >/dev/null

# The shipped configuration with this folder in place of /etc/mosquitto/zark and the broker's
# own data folder, on localhost only and the chosen port; it runs as you (also when started as root,
# where it would otherwise switch to the user mosquitto, who cannot read your folder).
sed -e "s|/etc/mosquitto/zark|$folder|g" -e "s|/var/lib/mosquitto/|$folder/data/|" \
    -e "s|^user mosquitto|user $(id -un)|" -e "s|^listener 1883$|listener $port 127.0.0.1|" \
    range/mosquitto.conf >"$folder/mosquitto.conf"
# The live page's listener, on localhost, serving the page of the build.
sed -e "s|^listener 8080$|listener $page_port 127.0.0.1|" -e "s|^http_dir .*|http_dir $PWD/build/range-page|" \
    range/page.conf >>"$folder/mosquitto.conf"
if [[ $tls == 1 ]]; then
  [[ -f $folder/server.crt ]] || bash range/make-tls.sh "$folder" localhost
  sed -i -e "s|^#listener 8883|listener $((port + 7000)) 127.0.0.1|" -e 's|^#cafile|cafile|' \
      -e 's|^#certfile|certfile|' -e 's|^#keyfile|keyfile|' -e 's|^#tls_version|tls_version|' "$folder/mosquitto.conf"
fi

cat <<TEXT
Range "club" on localhost:$port$([[ $tls == 1 ]] && echo ", TLS on $((port + 7000)) with CA $folder/ca.crt").
In each ZARK, File > Customize > Range: on, host localhost, port $port, range club,
lane lane1 (the others lane2, lane3), user = the lane, password zark, and "Obey the range
officer" for orders. A coach: user coach, password zark, then File > Watch Lane... The range
officer: user officer, password zark, then View > Range...
The live page: http://localhost:$page_port/ (add ?lang=de, sv or es).
TEXT
exec "$(command -v mosquitto || echo /usr/sbin/mosquitto)" -c "$folder/mosquitto.conf"
