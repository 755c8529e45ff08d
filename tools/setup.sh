#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine (run as root).
# Quick and silent when everything is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/deps"

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_stale=1
fi
for p in cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
         libz-mingw-w64-dev wine wine32:i386 xvfb xauth locales \
         fonts-wqy-zenhei fonts-arphic-uming fonts-arphic-ukai fonts-wine x11-utils googletest dpkg-dev python3; do
    have "$p" || need+=("$p")
done

# minizip comes from the zlib source package: make sure a deb-src entry exists.
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
if ! grep -rqs "^Types:.*deb-src" /etc/apt/sources.list.d/ && ! grep -qs "^deb-src" /etc/apt/sources.list; then
    cat > /etc/apt/sources.list.d/brindle-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt_stale=1
fi

if [ ${#need[@]} -gt 0 ] || [ -n "${apt_stale:-}" ] ; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if [ ${#need[@]} -gt 0 ]; then
        apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    fi
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# minizip sources, unpacked outside of git's view
if [ ! -f "$deps/minizip/unzip.c" ]; then
    mkdir -p "$deps/src"
    chown _apt "$deps/src" 2>/dev/null || true
    if ! ls "$deps"/src/zlib-*/contrib/minizip/unzip.c >/dev/null 2>&1; then
        (cd "$deps/src" && apt-get source -qq zlib >/dev/null 2>&1) || {
            export DEBIAN_FRONTEND=noninteractive
            apt-get update -qq && (cd "$deps/src" && apt-get source -qq zlib >/dev/null)
        }
    fi
    src=$(ls -d "$deps"/src/zlib-*/contrib/minizip | head -1)
    mkdir -p "$deps/minizip"
    cp "$src"/{unzip.c,unzip.h,ioapi.c,ioapi.h,iowin32.c,iowin32.h,crypt.h} "$deps/minizip/"
    # the build reads passwords: drop the unconditional NOUNCRYPT of this zlib version
    sed -i 's/^#\s*define NOUNCRYPT/\/\* NOUNCRYPT removed \*\//' "$deps/minizip/unzip.c"
fi
exit 0
