#!/usr/bin/env bash
# Starts or stops a JACK server with the dummy driver (real-time paced, no sound hardware) for the
# tests that talk to JACK. CTest runs it as the set-up and clean-up of the "jack" fixture.
#   jack-dummy-server.sh start|stop <server name> <state folder>
# Clients reach it with JACK_DEFAULT_SERVER=<server name>; none of them may take the server's name.
set -euo pipefail
action="$1"
name="$2"
state="$3"
pidfile="$state/jackd.pid"

running() {
    local status
    status="$(ps -o stat= -p "$1" 2>/dev/null)" || return 1
    [[ "$status" != Z* ]]
}

stop_server() {
    [ -f "$pidfile" ] || return 0
    local pid
    pid="$(cat "$pidfile")"
    rm -f "$pidfile"
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        running "$pid" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

case "$action" in
start)
    mkdir -p "$state"
    stop_server # one left behind by an interrupted run
    jackd --no-realtime -n "$name" -d dummy -r 48000 -p 256 -C 2 -P 2 >"$state/jackd.log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    if ! JACK_DEFAULT_SERVER="$name" JACK_NO_START_SERVER=1 jack_wait -w -t 10 >/dev/null 2>&1; then
        echo "the JACK server \"$name\" did not start:" >&2
        cat "$state/jackd.log" >&2
        stop_server
        exit 1
    fi
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|stop <server name> <state folder>" >&2
    exit 2
    ;;
esac
