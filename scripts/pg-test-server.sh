#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: a cluster in a temporary folder that listens
# only on a Unix socket there, so it touches no port and no cluster of the machine.
#
#   pg-test-server.sh start DIR   makes the cluster in DIR (an empty folder), starts it and
#                                 prints the connection string of the tests' database
#   pg-test-server.sh stop DIR    stops it; DIR may then be removed
#
# initdb refuses to run as root: as root the server runs as the package's "postgres" user.
set -euo pipefail

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bin=""
for candidate in /usr/lib/postgresql/*/bin; do
  [ -x "$candidate/initdb" ] && bin="$candidate"
done
if [ -z "$bin" ]; then
  echo "PostgreSQL server not installed (no /usr/lib/postgresql/*/bin/initdb)" >&2
  exit 1
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

data="$dir/data"
case "$command" in
start)
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$dir"
  fi
  as_server "$bin/initdb" -D "$data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 \
    --no-sync >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    exit 1
  }
  # Durability is worthless for a cluster that lives as long as one test run, and syncing
  # would make every created database cost a second on a busy disk.
  if ! as_server "$bin/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 60 \
    -o "-k $dir -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null; then
    echo "The test server did not start:" >&2
    cat "$dir/server.log" >&2 || true
    exit 1
  fi
  as_server "$bin/psql" -h "$dir" -U postgres -d postgres -q -v ON_ERROR_STOP=1 \
    -c "create role veskor login createdb" -c "create database veskor owner veskor" >&2
  echo "host=$dir dbname=veskor user=veskor"
  ;;
stop)
  if [ -f "$data/postmaster.pid" ]; then
    as_server "$bin/pg_ctl" -D "$data" -m immediate -w -t 30 stop >/dev/null || true
  fi
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
