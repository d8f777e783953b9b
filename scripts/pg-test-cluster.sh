#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster for the tests.
#   pg-test-cluster.sh start DIR   initdb into DIR, listen on a free port of 127.0.0.1,
#                                  write "host:port", user and password to DIR/server.txt
#   pg-test-cluster.sh stop DIR    stop it and remove DIR
# The superuser's password holds ";" and "=" on purpose: the connection code must cope.
set -euo pipefail

cmd=${1:?start|stop}
dir=${2:?directory}
user=velmora
password='pw;with=odd'

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
  echo "pg-test-cluster: PostgreSQL server binaries not found (install postgresql)" >&2
  exit 1
fi

# initdb and the server refuse to run as root: run them as the postgres user then.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  if [ -f "$dir/datadir" ]; then
    local data
    data=$(cat "$dir/datadir")
    if [ -f "$data/data/postmaster.pid" ]; then
      as_owner "$bindir/pg_ctl" -D "$data/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$data"
  fi
  rm -rf "$dir"
}

case "$cmd" in
start)
  stop_cluster
  mkdir -p "$dir"
  # The cluster lives under /tmp so that the postgres user can reach it
  # whatever the permissions of the build folder's parents.
  data=$(mktemp -d /tmp/velmora-pgtest.XXXXXX)
  echo "$data" > "$dir/datadir"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
  printf '%s\n' "$password" > "$data/pwfile"
  [ "$(id -u)" -eq 0 ] && chown -R postgres "$data"
  as_owner "$bindir/initdb" -D "$data/data" -U "$user" --pwfile="$data/pwfile" \
    --auth=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  as_owner "$bindir/pg_ctl" -D "$data/data" -l "$data/server.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories='$data' -c fsync=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$data/server.log" >&2; exit 1; }
  printf '127.0.0.1:%s\n%s\n%s\n' "$port" "$user" "$password" > "$dir/server.txt.tmp"
  mv "$dir/server.txt.tmp" "$dir/server.txt"
  echo "PostgreSQL test cluster on 127.0.0.1:$port"
  ;;
stop)
  stop_cluster
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
