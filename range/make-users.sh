#!/usr/bin/env bash
# Makes the broker's password file and ACL for a club's range.
#
#   bash range/make-users.sh FOLDER RANGE < users.txt
#
# users.txt has one line per user: "lane NAME PASSWORD", "coach NAME PASSWORD", "officer NAME
# PASSWORD" or "spectator NAME PASSWORD" (the file is read from standard input so that no password
# shows in the process list). A lane's user name is its lane name (RangeLane); it may write only its
# own lane's topics. A coach only reads the range. The range officer reads the range and is the only
# user who may send orders to the lanes (View > Range... in the officer's ZARK). A spectator is the live page's user (range/page/config.js names it): it
# reads only what the page shows (state, face, trace, shot), not the files of finished series.
# Writes FOLDER/passwords (hashed by mosquitto_passwd) and FOLDER/acl, readable only by their
# owner; give them to the broker's user (chown mosquitto) when the broker runs as a service.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: bash range/make-users.sh FOLDER RANGE < users.txt" >&2
  exit 2
fi
folder=$1
range=$2
valid='^[A-Za-z0-9_-]{1,32}$'
[[ $range =~ $valid ]] || { echo "make-users: '$range' is not a range name (1-32 of A-Za-z0-9_-)" >&2; exit 2; }
passwd=$(command -v mosquitto_passwd || echo /usr/bin/mosquitto_passwd)

mkdir -p "$folder"
umask 077
passwords=$folder/passwords
acl=$folder/acl
: >"$passwords"
{
  echo "# Made by make-users.sh for the range '$range'."
  echo "# A lane writes only its own lane's topics and reads the range officer's commands to it;"
  echo "# a coach reads every lane of the range; the live page's spectator reads what the page shows."
} >"$acl"

count=0
while read -r role name password rest; do
  [[ -z ${role:-} || $role == \#* ]] && continue
  if [[ ! $name =~ $valid || -z ${password:-} || -n ${rest:-} ]]; then
    echo "make-users: line '$role $name ...' is not 'lane|coach|officer|spectator NAME PASSWORD'" >&2
    exit 1
  fi
  "$passwd" -b "$passwords" "$name" "$password"
  base="zark/v1/$range/$name"
  case $role in
    lane)
      {
        echo
        echo "user $name"
        for topic in state face trace shot series ack; do echo "topic write $base/$topic"; done
        echo "topic read $base/command"
      } >>"$acl"
      ;;
    coach)
      {
        echo
        echo "user $name"
        echo "topic read zark/v1/$range/#"
      } >>"$acl"
      ;;
    officer)
      {
        echo
        echo "user $name"
        echo "topic read zark/v1/$range/#"
        echo "topic write zark/v1/$range/+/command"
      } >>"$acl"
      ;;
    spectator)
      {
        echo
        echo "user $name"
        for topic in state face trace shot; do echo "topic read zark/v1/$range/+/$topic"; done
      } >>"$acl"
      ;;
    *)
      echo "make-users: unknown role '$role' (lane, coach, officer or spectator)" >&2
      exit 1
      ;;
  esac
  count=$((count + 1))
done
echo "make-users: $count users in $passwords and $acl"
