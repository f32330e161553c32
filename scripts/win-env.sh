#!/usr/bin/env bash
# The Windows test environment: a Wine prefix under build/, an Xvfb display,
# a PulseAudio daemon with a null sink that plays in real time (the audio
# output is the engine's master clock), and one wineserver kept alive for the
# whole run.
#   win-env.sh start | stop      start or end the services
#   . win-env.sh vars            only set the variables (used by wine-exec.sh)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
state="$root/build/winenv"
mkdir -p "$state"

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ko_KR.UTF-8
export XDG_RUNTIME_DIR="$state/xdg"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if [ -f "$state/display" ]; then export DISPLAY=$(cat "$state/display"); fi

# 32-bit Wine needs a kernel that runs i386 code; some machines only run
# 64-bit user code, and there the Windows tests use the x86_64 build.
dc_wine32_works() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if [ -z "${DC_WINE_BIN:-}" ]; then
    if dc_wine32_works; then DC_WINE_BIN=wine; else DC_WINE_BIN=/usr/lib/wine/wine64; fi
fi
export DC_WINE_BIN
wineserver_bin=/usr/lib/wine/wineserver
# Removable card drives of the test prefix (see start); their folders are
# $DC_CARD_ROOT/<letter>.
dc_card_letters="r s t u"
export DC_CARD_ROOT="$state/cards"
[ -x "$wineserver_bin" ] || wineserver_bin=wineserver

start() {
    stop >/dev/null 2>&1
    # Display
    local n=99
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    echo ":$n" >"$state/display"
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    # Sound: a null sink that consumes audio in real time
    cat >"$state/pulse.pa" <<PA
load-module module-native-protocol-unix
load-module module-null-sink sink_name=nullsink
set-default-sink nullsink
PA
    if command -v pulseaudio >/dev/null; then
        HOME="$state" pulseaudio -n -F "$state/pulse.pa" --exit-idle-time=-1 \
            --daemonize=yes --use-pid-file=yes --system=false \
            --log-target=file:"$state/pulse.log" >/dev/null 2>&1 || true
    fi
    # Prefix: made once, with a font substitute for the Korean UI face
    if [ ! -f "$WINEPREFIX/.dc-ready" ]; then
        "$DC_WINE_BIN" wineboot -i </dev/null >"$state/wineboot.log" 2>&1 || true
        "$wineserver_bin" -w
        "$DC_WINE_BIN" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '돋움' /t REG_SZ /d 'NanumGothic' /f >/dev/null 2>&1 || true
        "$DC_WINE_BIN" reg add 'HKCU\Software\Wine\Drivers' /v 'Audio' /t REG_SZ /d 'pulse' /f >/dev/null 2>&1 || true
        "$wineserver_bin" -w
        touch "$WINEPREFIX/.dc-ready"
    fi
    # Unmanaged X windows: with no window manager on the virtual screen, Wine
    # otherwise waits 2 s for every visible top-level window it hides or
    # destroys (measured here).
    if [ ! -f "$WINEPREFIX/.dc-unmanaged" ]; then
        "$DC_WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v 'Managed' /t REG_SZ /d 'N' /f >/dev/null 2>&1 || true
        "$wineserver_bin" -w
        touch "$WINEPREFIX/.dc-unmanaged"
    fi
    # Card drives for the program's tests: R: to U: are removable (type
    # "floppy") and each is a folder under build/winenv/cards. Wine reads the
    # types when its services start and a label once per session (measured),
    # so both are set here, before the services start. Labels: R: the
    # recorder's own, S: the same in lower case, T: longer than a combo entry
    # shows, U: none.
    local l
    for l in $dc_card_letters; do
        mkdir -p "$state/cards/$l"
        ln -sfn "$state/cards/$l" "$WINEPREFIX/dosdevices/$l:"
    done
    printf 'D-UVUDOVID\n' >"$state/cards/r/.windows-label"
    printf 'd-uvudovid\n' >"$state/cards/s/.windows-label"
    printf 'TRELLMARCARD01\n' >"$state/cards/t/.windows-label"
    rm -f "$state/cards/u/.windows-label"
    if [ ! -f "$WINEPREFIX/.dc-cards" ]; then
        for l in $dc_card_letters; do
            "$DC_WINE_BIN" reg add 'HKLM\Software\Wine\Drives' /v "$l:" /t REG_SZ /d floppy /f >/dev/null 2>&1 || true
        done
        "$wineserver_bin" -w
        touch "$WINEPREFIX/.dc-cards"
    fi
    "$wineserver_bin" -p </dev/null >>"$state/wineserver.log" 2>&1
    # Start Wine's own services now, so they do not inherit the output pipe
    # of the first test (CTest would wait for them to close it).
    "$DC_WINE_BIN" wineboot </dev/null >>"$state/wineboot.log" 2>&1 || true
}

stop() {
    "$wineserver_bin" -k >/dev/null 2>&1 || true
    if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then kill "$(cat "$XDG_RUNTIME_DIR/pulse/pid")" 2>/dev/null || true; fi
    if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; rm -f "$state/xvfb.pid"; fi
    rm -f "$state/display"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    vars|"") ;;
    *) echo "usage: win-env.sh start|stop" >&2; exit 2 ;;
esac
