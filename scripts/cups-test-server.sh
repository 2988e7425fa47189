#!/usr/bin/env bash
# A print server of the tests' own: cupsd with its configuration, spool, logs and socket under DIR,
# and one PDF queue, the server's default, whose files land in DIR/out. The machine's own print
# server is neither used nor changed; the one file written outside DIR is the queue's cups-pdf
# instance file /etc/cups/cups-pdf-QUEUE.conf (cups-pdf reads its settings only from there),
# removed by stop.
#
# usage: cups-test-server.sh start DIR QUEUE   on success prints the socket to use as CUPS_SERVER
#        cups-test-server.sh stop DIR          stops that cupsd by its PID and removes what start made
# Exit 0 on success; on failure a message on stderr and exit 1 (start stops what it started).
set -euo pipefail

fail() {
    echo "cups-test-server: $*" >&2
    exit 1
}

stop_server() {
    local dir=$1
    if [ -f "$dir/state/cupsd.pid" ]; then
        local pid
        pid=$(cat "$dir/state/cupsd.pid")
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid"
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
        fi
        rm -f "$dir/state/cupsd.pid"
    fi
    if [ -f "$dir/queue" ]; then
        rm -f "/etc/cups/cups-pdf-$(cat "$dir/queue").conf"
        rm -f "$dir/queue"
    fi
}

start_server() {
    local dir=$1 queue=$2
    [[ $queue =~ ^[A-Za-z0-9_]+$ ]] || fail "queue name \"$queue\" must be letters, digits and _"
    command -v cupsd >/dev/null || fail "cupsd is not installed (scripts/deps.sh test installs cups)"
    command -v lpadmin >/dev/null || fail "lpadmin is not installed (cups-client)"
    [ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is not installed (printer-driver-cups-pdf)"
    [ "$(id -u)" -eq 0 ] || fail "cupsd and the cups-pdf instance file need root"
    [ -w /etc/cups ] || fail "/etc/cups is not writable"

    mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state,log,out,cups-pdf-spool}
    # The scheduler's filters run as lp and must reach the spool below DIR.
    chmod 755 "$dir" "$dir/out" "$dir/cups-pdf-spool"
    local socket="$dir/cups.sock"
    cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
Printcap $dir/state/printcap
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
User lp
Group lp
Sandboxing Relaxed
CONF
    cat >"$dir/etc/cupsd.conf" <<CONF
LogLevel warn
Listen $socket
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    printf '%s\n' "$queue" >"$dir/queue"
    cat >"/etc/cups/cups-pdf-$queue.conf" <<CONF
Out $dir/out
AnonDirName $dir/out
Spool $dir/cups-pdf-spool
Log $dir/log
Grp root
UserUMask 0022
CONF

    # cupsd forks and writes its PID to StateDir/cupsd.pid.
    if ! cupsd -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" 2>"$dir/log/cupsd"; then
        stop_server "$dir"
        fail "cupsd did not start: $(cat "$dir/log/cupsd") $(tail -n 5 "$dir/log/error_log" 2>/dev/null)"
    fi
    local ready=
    for _ in $(seq 100); do
        # lpstat -r exits 0 also when no scheduler answers; its text tells.
        if lpstat -h "$socket" -r 2>/dev/null | grep -q "scheduler is running"; then ready=1; break; fi
        sleep 0.1
    done
    if [ -z "$ready" ]; then
        stop_server "$dir"
        fail "cupsd did not answer on $socket: $(tail -n 5 "$dir/log/error_log" 2>/dev/null)"
    fi
    # The "drivers are deprecated" warning of lpadmin is harmless.
    if ! lpadmin -h "$socket" -p "$queue" -E -v "cups-pdf:/$queue" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        2>"$dir/log/lpadmin"; then
        stop_server "$dir"
        fail "lpadmin could not add the queue $queue: $(grep -v -i deprecated "$dir/log/lpadmin")"
    fi
    # The queue is the server's default, so a print to the default printer lands in it.
    lpadmin -h "$socket" -d "$queue" >/dev/null 2>&1 || true
    if ! lpstat -h "$socket" -p "$queue" >/dev/null 2>&1; then
        stop_server "$dir"
        fail "the queue $queue does not show in lpstat"
    fi
    echo "$socket"
}

case "${1:-}" in
    start) [ $# -eq 3 ] || fail "usage: $0 start DIR QUEUE"; start_server "$(realpath -m "$2")" "$3" ;;
    stop) [ $# -eq 2 ] || fail "usage: $0 stop DIR"; stop_server "$(realpath -m "$2")" ;;
    *) fail "usage: $0 start DIR QUEUE | stop DIR" ;;
esac
