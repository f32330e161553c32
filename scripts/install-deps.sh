#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine. Idempotent: it
# only calls apt when something is missing.
set -euo pipefail

PKGS=(locales pkg-config make xz-utils cmake ninja-build g++ clang googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 libgl1:i386 libgl1-mesa-dri:i386
      pulseaudio libpulse0:i386 xvfb xauth ffmpeg faad fonts-nanum
      libswresample-dev dpkg-dev
      libgl1:amd64 libgl1-mesa-dri:amd64)  # wined3d under wine64 draws with GL

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

missing=()
for p in "${PKGS[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}" >&2
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    # deb-src is needed to cross-build libswresample for the Windows build.
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && \
       ! grep -qs '^deb-src' /etc/apt/sources.list; then
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] && $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
        done
    fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page (949) from the Unix locale.
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
    $SUDO localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
