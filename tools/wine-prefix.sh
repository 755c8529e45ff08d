#!/usr/bin/env bash
# Creates the Wine prefix once (fonts, virtual desktop, no crash dialog).
# Safe to call from many processes at once: creation runs under a lock.
set -u
prefix="$1"
if [ -f "$prefix/.brindle-ready" ]; then
    # Wine draws its caption buttons with Marlett (fonts-wine); a prefix made
    # before that was installed lacks the copy a new prefix gets.
    fonts="$prefix/drive_c/windows/Fonts"
    if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/.marlett.$$" && mv -f "$fonts/.marlett.$$" "$fonts/marlett.ttf"
    fi
    exit 0
fi
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.brindle-ready" ] && exit 0
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset DISPLAY
wineboot -i >/dev/null 2>&1 </dev/null
reg="$prefix/brindle.reg"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
 '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
 '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"新宋体"="AR PL UMing CN"' \
 '"黑体"="WenQuanYi Zen Hei"' '"楷体"="AR PL UKai CN"' \
 '"隶书"="AR PL UKai CN"' '"方正楷体S-超大字符集"="AR PL UKai CN"' '' \
 '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
 '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1920x1080"' '' \
 '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
 | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
wine regedit /S "$reg" >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 || true
touch "$prefix/.brindle-ready"
