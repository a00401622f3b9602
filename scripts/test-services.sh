#!/usr/bin/env bash
# Starts and stops the database servers the tests reach through ODBC: a
# PostgreSQL 15 cluster and a MariaDB server, both listening on 127.0.0.1 only,
# each with a fresh test database, a user and a password made up for this run.
#
#   eval "$(bash scripts/test-services.sh start)"   # servers up, environment exported
#   bash scripts/test-services.sh stop              # servers down, folders removed
#
# `start` prints the export lines (ODBCSYSINI and the TESSALINE_TEST_* facts) on
# standard output and keeps a copy in $TESSALINE_SERVICES_DIR/env; progress goes to
# standard error. Everything lives in $TESSALINE_SERVICES_DIR (a folder under /tmp):
# `start` first stops and removes whatever an earlier run left there, so nothing
# carries over. Works as root (the PostgreSQL cluster then belongs to "postgres")
# and as an ordinary user.
set -euo pipefail

base="${TESSALINE_SERVICES_DIR:-/tmp/tessaline-test-services}"
pg_port="${TESSALINE_PG_PORT:-55432}"
maria_port="${TESSALINE_MARIA_PORT:-33306}"
database=tessaline
bench_database=tessaline_bench
user=tessaline
# How long a server may take to come up, in tenths of a second.
ready_tenths=600

say() { echo "test-services: $*" >&2; }
die() {
    say "$*"
    exit 1
}

pg_bin() {
    local dir
    for dir in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
        if [ -x "$dir/initdb" ]; then
            echo "$dir"
            return
        fi
    done
    die "PostgreSQL is not installed (no initdb found); run scripts/install-deps.sh"
}

# Runs a command as the owner of the PostgreSQL cluster: the server refuses to
# run as root.
as_pg() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

odbc_driver() {
    local name="$1" file
    for file in /usr/lib/*/odbc/"$name" /usr/lib/odbc/"$name" /usr/lib64/odbc/"$name"; do
        if [ -e "$file" ]; then
            echo "$file"
            return
        fi
    done
    die "The ODBC driver $name is not installed; run scripts/install-deps.sh"
}

# Something answers on the port (bash's own TCP client: no extra tools needed).
port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

stop_services() {
    [ -d "$base" ] || return 0
    local pid
    if [ -f "$base/pg/data/postmaster.pid" ]; then
        # Immediate shutdown: the cluster is thrown away next anyway.
        as_pg "$(pg_bin)/pg_ctl" -D "$base/pg/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
        pid="$(head -n 1 "$base/pg/data/postmaster.pid" 2>/dev/null || true)"
        [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    fi
    if [ -f "$base/maria/mariadbd.pid" ]; then
        pid="$(cat "$base/maria/mariadbd.pid")"
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -rf "$base"
}

start_postgres() {
    local bin dir="$base/pg"
    bin="$(pg_bin)"
    mkdir -p "$dir/socket"
    [ "$(id -u)" -eq 0 ] && chown -R postgres: "$dir"
    say "initialising PostgreSQL in $dir"
    # Local (socket) logins are trusted so that this script can set the cluster
    # up; logins over TCP need the password, so a wrong one is refused.
    as_pg "$bin/initdb" -D "$dir/data" -U postgres --auth-local=trust --auth-host=scram-sha-256 \
        --encoding=UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 ||
        die "initdb failed: $(tail -n 5 "$dir/initdb.log")"
    # A throw-away cluster needs no crash safety; that makes creating many
    # tables (the schema benchmark) quick.
    as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t $((ready_tenths / 10)) \
        -o "-c listen_addresses=127.0.0.1 -p $pg_port -k $dir/socket -c fsync=off \
            -c synchronous_commit=off -c full_page_writes=off" start >/dev/null ||
        die "PostgreSQL did not start: $(tail -n 5 "$dir/server.log")"
    as_pg "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir/socket" -p "$pg_port" -U postgres \
        -d postgres >/dev/null <<SQL || die "could not create the PostgreSQL test database"
CREATE ROLE $user LOGIN PASSWORD '$password';
CREATE DATABASE $database OWNER $user ENCODING 'UTF8';
CREATE DATABASE $bench_database OWNER $user ENCODING 'UTF8';
SQL
}

start_mariadb() {
    local dir="$base/maria" run_as=()
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && run_as=(--user=root)
    say "initialising MariaDB in $dir"
    # --no-defaults everywhere: the machine's my.cnf must not move the data,
    # the socket or the port of this private server.
    mariadb-install-db --no-defaults "${run_as[@]}" --datadir="$dir/data" \
        --auth-root-authentication-method=normal --skip-test-db --skip-name-resolve \
        >"$dir/install.log" 2>&1 || die "mariadb-install-db failed: $(tail -n 5 "$dir/install.log")"
    setsid mariadbd --no-defaults "${run_as[@]}" --datadir="$dir/data" --port="$maria_port" \
        --bind-address=127.0.0.1 --socket="$dir/mariadbd.sock" --pid-file="$dir/mariadbd.pid" \
        --log-error="$dir/server.log" --skip-name-resolve --skip-log-bin \
        --innodb-buffer-pool-size=64M --innodb-log-file-size=16M \
        --innodb-flush-log-at-trx-commit=0 --innodb-use-native-aio=0 \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
        </dev/null >/dev/null 2>&1 &
    local server=$! tries=0
    until mariadb-admin --no-defaults --socket="$dir/mariadbd.sock" -u root ping >/dev/null 2>&1; do
        kill -0 "$server" 2>/dev/null || die "MariaDB stopped while starting: $(tail -n 5 "$dir/server.log")"
        tries=$((tries + 1))
        [ "$tries" -lt "$ready_tenths" ] || die "MariaDB did not answer within $((ready_tenths / 10)) s"
        sleep 0.1
    done
    # The pid file appears a moment after the socket answers; stop needs it.
    echo "$server" >"$dir/mariadbd.pid"
    mariadb --no-defaults --socket="$dir/mariadbd.sock" -u root >/dev/null <<SQL ||
DELETE FROM mysql.global_priv WHERE User = '';
FLUSH PRIVILEGES;
CREATE DATABASE $database CHARACTER SET utf8mb4;
CREATE DATABASE $bench_database CHARACTER SET utf8mb4;
CREATE USER '$user'@'%' IDENTIFIED BY '$password';
GRANT ALL ON $database.* TO '$user'@'%';
GRANT ALL ON $bench_database.* TO '$user'@'%';
SQL
        die "could not create the MariaDB test database"
}

write_odbc_config() {
    local dir="$base/odbc" psql maria sqlite
    psql="$(odbc_driver psqlodbcw.so)"
    maria="$(odbc_driver libmaodbc.so)"
    sqlite="$(odbc_driver libsqlite3odbc.so)"
    mkdir -p "$dir"
    # The driver logs stay off: their defaults write log files into /tmp.
    cat >"$dir/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode)
Driver=$psql
Debug=0
CommLog=0

[PostgreSQL ANSI]
Description=PostgreSQL ODBC driver (ANSI)
Driver=$(odbc_driver psqlodbca.so)
Debug=0
CommLog=0

[MariaDB]
Description=MariaDB Connector/ODBC
Driver=$maria

[MySQL ODBC 8.0 Unicode Driver]
Description=MariaDB Connector/ODBC under the name MySQL data sources usually give
Driver=$maria

[SQLite3]
Description=SQLite3 ODBC driver
Driver=$sqlite
INI
    cat >"$dir/odbc.ini" <<INI
[TessalinePG]
Description=Tessaline test database on PostgreSQL
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$pg_port
Database=$database

[TessalinePGBench]
Description=Tessaline benchmark database on PostgreSQL
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$pg_port
Database=$bench_database

[TessalineMySQL]
Description=Tessaline test database on MariaDB, through the MySQL driver name
Driver=MySQL ODBC 8.0 Unicode Driver
Server=127.0.0.1
Port=$maria_port
Database=$database

[TessalineMaria]
Description=Tessaline test database on MariaDB
Driver=MariaDB
Server=127.0.0.1
Port=$maria_port
Database=$database

[TessalineSQLite]
Description=Tessaline test database on SQLite
Driver=SQLite3
Database=$base/sqlite/tessaline.db
INI
    mkdir -p "$base/sqlite"
}

write_environment() {
    cat >"$base/env" <<ENV
export ODBCSYSINI='$base/odbc'
export TESSALINE_TEST_SERVICES=1
export TESSALINE_TEST_USER='$user'
export TESSALINE_TEST_PASSWORD='$password'
export TESSALINE_TEST_PG_DSN=TessalinePG
export TESSALINE_TEST_PG_BENCH_DSN=TessalinePGBench
export TESSALINE_TEST_PG_DRIVER='DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=$pg_port;DATABASE=$database'
export TESSALINE_TEST_PG_PORT=$pg_port
export TESSALINE_TEST_MYSQL_DSN=TessalineMySQL
export TESSALINE_TEST_MARIA_DSN=TessalineMaria
export TESSALINE_TEST_MYSQL_DRIVER='DRIVER={MySQL ODBC 8.0 Unicode Driver};SERVER=127.0.0.1;PORT=$maria_port;DATABASE=$database'
export TESSALINE_TEST_MARIA_DRIVER='DRIVER={MariaDB};SERVER=127.0.0.1;PORT=$maria_port;DATABASE=$database'
export TESSALINE_TEST_MARIA_PORT=$maria_port
export TESSALINE_TEST_SQLITE_DSN=TessalineSQLite
export TESSALINE_TEST_SQLITE_DRIVER='DRIVER={SQLite3};Database=$base/sqlite/tessaline.db'
ENV
    cat "$base/env"
}

start_services() {
    stop_services
    # A start that fails halfway leaves no server behind.
    trap 'status=$?; [ "$status" -eq 0 ] || stop_services; exit "$status"' EXIT
    local port
    for port in "$pg_port" "$maria_port"; do
        port_in_use "$port" && die "port $port on this machine is taken by another program"
    done
    mkdir -p "$base"
    chmod 755 "$base"
    # Hex digits only: the password goes into connection strings and SQL as it is.
    password="$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')"
    start_postgres
    start_mariadb
    write_odbc_config
    write_environment
    say "PostgreSQL on 127.0.0.1:$pg_port and MariaDB on 127.0.0.1:$maria_port are ready"
}

case "${1:-}" in
start) start_services ;;
stop) stop_services ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
