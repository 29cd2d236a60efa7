#!/usr/bin/env bash
# Makes a club CA and a server certificate for the broker's TLS listener, with openssl.
#
#   bash range/make-tls.sh FOLDER HOST [IP]
#
# HOST is the broker PC's name as lanes and coaches enter it (RangeHost); IP optionally its
# address. Writes FOLDER/ca.crt (give it to every lane and coach: RangeCaFile), FOLDER/ca.key
# (keep it safe, it signs), FOLDER/server.crt and FOLDER/server.key (the broker's).
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: bash range/make-tls.sh FOLDER HOST [IP]" >&2
  exit 2
fi
folder=$1
host=$2
ip=${3:-}
mkdir -p "$folder"
cd "$folder"
umask 077
san="DNS:$host"
[[ -n $ip ]] && san="$san,IP:$ip"
[[ $host == localhost ]] && san="$san,IP:127.0.0.1"

openssl req -x509 -new -nodes -newkey rsa:3072 -days 3650 -sha256 \
  -subj "/CN=ZARK club range CA" -keyout ca.key -out ca.crt 2>/dev/null
openssl req -new -nodes -newkey rsa:2048 -sha256 -subj "/CN=$host" \
  -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$san" >server.ext
openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 825 -sha256 \
  -extfile server.ext -out server.crt 2>/dev/null
rm -f server.csr server.ext ca.srl
chmod 644 ca.crt server.crt
echo "make-tls: ca.crt, ca.key, server.crt and server.key in $folder (server name $host)"
