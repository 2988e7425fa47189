#!/usr/bin/env bash
# A print server of the tests' own: cupsd with its configuration, spool, logs and socket under DIR,
# one PDF queue, the server's default, whose files land in DIR/out, and beside it queues with the
# drivers of real printers, whose unprintable margins the PDF queue lacks. Their output (what the
# printer would receive) lands in DIR/jobs/QUEUE_KIND/JOB.prn, one file per job, written whole:
#   QUEUE_ps      Generic PostScript (cups), Letter, 12 pt margins, no custom sizes: PostScript
#   QUEUE_hp      HP Color LaserJet CM3530 (cups-filters), A4 by default, 18/36 pt margins, fits
#                 pages to its printable area unless told not to: PDF after PJL
#   QUEUE_inkjet  HP DeskJet 500 through Gutenprint, A4 by default, 300 dpi: PCL raster
# The machine's own print server is neither used nor changed; the one file written outside DIR is
# the PDF queue's cups-pdf instance file /etc/cups/cups-pdf-QUEUE.conf (cups-pdf reads its settings
# only from there), removed by stop.
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

# The backend of DEVICE_URI tovarofile:/FOLDER: the job (the file argument, else standard input)
# goes to FOLDER/JOB.prn, renamed into place once complete. Mode 0700 makes cupsd run it as root.
write_file_backend() {
    cat >"$1" <<'BACKEND'
#!/bin/sh
if [ $# -eq 0 ]; then echo 'file tovarofile "Unknown" "Job into a file"'; exit 0; fi
folder=${DEVICE_URI#tovarofile:}
mkdir -p "$folder" || exit 1
if [ $# -ge 6 ]; then cat "$6"; else cat; fi >"$folder/$1.part" || exit 1
mv "$folder/$1.part" "$folder/$1.prn"
BACKEND
    chmod 0700 "$1"
}

# Adds the queue NAME with the driver MODEL printing into DIR/jobs/NAME, with default OPTIONS.
add_driver_queue() {
    local dir=$1 socket=$2 name=$3 model=$4
    shift 4
    if ! lpadmin -h "$socket" -p "$name" -E -v "tovarofile:$dir/jobs/$name" -m "$model" "$@" \
        2>"$dir/log/lpadmin-$name"; then
        stop_server "$dir"
        fail "lpadmin could not add the queue $name ($model): $(grep -v -i deprecated "$dir/log/lpadmin-$name")"
    fi
}

start_server() {
    local dir=$1 queue=$2
    [[ $queue =~ ^[A-Za-z0-9_]+$ ]] || fail "queue name \"$queue\" must be letters, digits and _"
    command -v cupsd >/dev/null || fail "cupsd is not installed (scripts/deps.sh test installs cups)"
    command -v lpadmin >/dev/null || fail "lpadmin is not installed (cups-client)"
    [ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is not installed (printer-driver-cups-pdf)"
    [ -f /usr/share/ppd/cupsfilters/HP-Color_LaserJet_CM3530_MFP-PDF.ppd ] ||
        fail "the HP Color LaserJet PPD is not installed (cups-filters)"
    [ -x /usr/lib/cups/driver/gutenprint.5.3 ] || fail "Gutenprint is not installed (printer-driver-gutenprint)"
    command -v gs >/dev/null || fail "Ghostscript is not installed (ghostscript)"
    [ "$(id -u)" -eq 0 ] || fail "cupsd and the cups-pdf instance file need root"
    [ -w /etc/cups ] || fail "/etc/cups is not writable"

    mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state,log,out,cups-pdf-spool,bin/backend,jobs}
    # The scheduler's filters run as lp and must reach the spool below DIR.
    chmod 755 "$dir" "$dir/out" "$dir/cups-pdf-spool" "$dir/bin" "$dir/bin/backend" "$dir/jobs"
    # cupsd finds backends in ServerBin only: DIR/bin is the system's with one backend more, which
    # writes each job of the driver queues into a file of its own.
    local sub
    for sub in cgi-bin daemon driver filter monitor notifier; do ln -sfn "/usr/lib/cups/$sub" "$dir/bin/$sub"; done
    ln -sf /usr/lib/cups/backend/cups-pdf "$dir/bin/backend/cups-pdf"
    write_file_backend "$dir/bin/backend/tovarofile"
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
ServerBin $dir/bin
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
    add_driver_queue "$dir" "$socket" "${queue}_ps" drv:///sample.drv/generic.ppd
    # This queue fits every page to its printable area unless a job says otherwise.
    add_driver_queue "$dir" "$socket" "${queue}_hp" lsb/usr/cupsfilters/HP-Color_LaserJet_CM3530_MFP-PDF.ppd \
        -o PageSize=A4 -o print-scaling-default=fit
    add_driver_queue "$dir" "$socket" "${queue}_inkjet" gutenprint.5.3://pcl-500/expert -o PageSize=A4 -o Resolution=300dpi
    # The PDF queue is the server's default, so a print to the default printer lands in it.
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
