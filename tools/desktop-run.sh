#!/usr/bin/env bash
# Runs a Windows program under Wine in a desktop as large as the X screen it
# is shown on, so the maximised main window fits that screen whatever its size.
# usage: desktop-run.sh DISPLAY RUNNER PROGRAM
set -u
display="$1" runner="$2" program="$3"
size=$(DISPLAY="$display" xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2; exit}')
case "$size" in
    [0-9]*x[0-9]*) ;;
    *) size=1920x1080 ;;
esac
exec "$runner" explorer "/desktop=Lumivell,$size" "Z:${program//\//\\}"
