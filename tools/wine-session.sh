#!/usr/bin/env bash
# start: one Xvfb (unless a display is given in BRINDLE_DISPLAY) and one warm
# Wine session kept alive by a tiny hidden window program; stop: ends both.
# Everything runs detached with stdio closed, so ctest never waits on a pipe.
set -u
cmd="$1" state="$2" runner="$3" keepalive="${4:-}"
mkdir -p "$state"
case "$cmd" in
start)
    "$0" stop "$state" "$runner" >/dev/null 2>&1
    if [ -n "${BRINDLE_DISPLAY:-}" ]; then
        echo "$BRINDLE_DISPLAY" > "$state/display"
    else
        for n in $(seq 91 140); do
            [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
            setsid Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
            echo $! > "$state/xvfb.pid"
            for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
            if [ -e "/tmp/.X11-unix/X$n" ]; then echo ":$n" > "$state/display"; break; fi
        done
    fi
    [ -f "$state/display" ] || { echo "no X display could be started" >&2; exit 1; }
    rm -f "$state/ready"
    if [ -n "$keepalive" ]; then
        setsid "$runner" "$keepalive" "$(winepath_w() { echo "Z:${1//\//\\}"; }; winepath_w "$state/ready")" \
            </dev/null >/dev/null 2>&1 &
        for _ in $(seq 1 600); do [ -f "$state/ready" ] && break; sleep 0.05; done
        [ -f "$state/ready" ] || { echo "wine session did not start" >&2; exit 1; }
    fi
    exit 0 ;;
stop)
    WINEPREFIX=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$runner") wineserver -k >/dev/null 2>&1
    if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null; rm -f "$state/xvfb.pid"; fi
    rm -f "$state/display" "$state/ready"
    exit 0 ;;
esac
