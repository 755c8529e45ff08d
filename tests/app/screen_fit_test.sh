#!/usr/bin/env bash
# The program started the way tools/run.sh starts it, on X screens smaller and
# larger than the tests' own: its maximised main window fits each screen.
# usage: screen_fit_test.sh SOURCE_DIR BUILD_DIR
set -u
root="$1" build="$2"
work=$(mktemp -d /tmp/lumivell-fit.XXXXXX)
xvfb="" program=""
stop_all() {
    # The program and its desktop, found by the unique path of this copy.
    if [ -n "$program" ]; then
        for p in /proc/[0-9]*; do
            { tr '\0' ' ' < "$p/cmdline"; } 2>/dev/null | grep -qF -- "$program" && kill "${p#/proc/}" 2>/dev/null
        done
    fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    xvfb="" program=""
}
trap 'stop_all; rm -rf "$work"' EXIT
# The frame's X window on display $1: "WxH+X+Y" inside the desktop window at
# the screen's origin; empty while there is none.
frame_geometry() {
    DISPLAY="$1" xwininfo -root -tree 2>/dev/null |
        awk '/"Lumivell-Velquor/ && /lumivell.exe/ { for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9]+x[0-9]+[+-]/) { print $i; exit } }'
}
failed=0
for size in 1366x768 1600x1000; do
    screen_w=${size%x*} screen_h=${size#*x}
    n=""
    for d in $(seq 141 199); do
        [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || { n=$d; break; }
    done
    [ -n "$n" ] || { echo "no free X display"; exit 1; }
    setsid Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 1 100); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
    # A copy of the program of its own: it writes its settings beside itself.
    dir="$work/$size"
    mkdir -p "$dir/state" "$dir/app"
    echo ":$n" > "$dir/state/display"
    cp "$build/app/Lumivell.exe" "$dir/app/"
    [ -d "$build/app/control" ] && cp -r "$build/app/control" "$dir/app/"
    sed "s#^state=.*#state=\"$dir/state\"#" "$build/wine-run.sh" > "$dir/run.sh"
    chmod +x "$dir/run.sh"
    program="$dir/app/Lumivell.exe"
    program="Z:${program//\//\\}"
    setsid "$root/tools/desktop-run.sh" ":$n" "$dir/run.sh" "$dir/app/Lumivell.exe" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1 200); do
        [ -n "$(frame_geometry ":$n")" ] && break
        sleep 0.1
    done
    sleep 1     # maximising may come after the first show
    geometry=$(frame_geometry ":$n")
    stop_all
    if [ -z "$geometry" ]; then
        echo "$size: no main window"; failed=1; continue
    fi
    w=${geometry%%x*}; rest=${geometry#*x}; h=${rest%%[+-]*}; pos=${rest#"$h"}
    x=$(echo "$pos" | sed -E 's/^\+?(-?[0-9]+)\+?(-?[0-9]+)$/\1/')
    y=$(echo "$pos" | sed -E 's/^\+?(-?[0-9]+)\+?(-?[0-9]+)$/\2/')
    # Maximised: the sizing border may lie outside the screen, nothing more.
    if [ "$x" -lt -8 ] || [ "$y" -lt -8 ] || [ $((x + w)) -gt $((screen_w + 8)) ] ||
       [ $((y + h)) -gt $((screen_h + 8)) ] || [ "$w" -lt "$screen_w" ] || [ $((h * 4)) -lt $((screen_h * 3)) ]; then
        echo "$size: main window $geometry does not fit the screen"; failed=1
    else
        echo "$size: main window $geometry"
    fi
done
exit $failed
