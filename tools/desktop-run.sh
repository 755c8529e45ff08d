#!/usr/bin/env bash
# Runs a Windows program under Wine in a desktop as large as the X screen it
# is shown on, so the maximised main window fits that screen whatever its size.
# usage: desktop-run.sh DISPLAY RUNNER PROGRAM
set -u
display="$1" runner="$2" program="$3"
size=""
# A server started just now may not answer at once.
for _ in $(seq 1 50); do
    size=$(DISPLAY="$display" xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2; exit}')
    [ -n "$size" ] && break
    sleep 0.1
done
case "$size" in
    [0-9]*x[0-9]*) ;;
    *) size=1920x1080 ;;
esac
# One desktop per size: a desktop of that name still closing keeps its size.
exec "$runner" explorer "/desktop=Lumivell-$size,$size" "Z:${program//\//\\}"
