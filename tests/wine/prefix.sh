#!/usr/bin/env bash
# Throwaway Wine prefixes for the tests, the demo and the benchmarks. CX_WINE_ARCH chooses their
# architecture: win32 (the default) or win64, a WoW64 prefix in which the 32-bit tool sees the registry
# as on 64-bit Windows. Templates and prefixes of the two architectures live in different directories.
#   prefix.sh template DIR   make DIR a fresh headless template prefix (once; kept between runs)
#   prefix.sh fresh TEMPLATE DIR   replace DIR by a clone of TEMPLATE and warm its wineserver
#   prefix.sh ensure TEMPLATE DIR  make DIR if it does not exist yet (for test discovery)
#   prefix.sh stop DIR       stop DIR's wineserver
set -euo pipefail

arch=${CX_WINE_ARCH:-win32}
case $arch in
    win32|win64) ;;
    *) echo "CX_WINE_ARCH must be win32 or win64, not '$arch'" >&2; exit 2 ;;
esac
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=

make_template() {
    local dir=$1
    # A template of the other architecture is made again.
    [ -f "$dir/.cx-template-ready" ] && grep -qx "#arch=$WINEARCH" "$dir/system.reg" && return 0
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    WINEPREFIX=$dir wineboot -i </dev/null >/dev/null 2>&1
    # Windows exist without any X display.
    WINEPREFIX=$dir wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    WINEPREFIX=$dir wineserver -w
    touch "$dir/.cx-template-ready"
}

# Hard links for everything but the registry files, which wineserver rewrites in place.
clone() {
    local template=$1 dir=$2
    rm -rf "$dir"
    cp -al "$template" "$dir"
    find "$dir" -maxdepth 1 -name '*.reg' -exec sh -c 'cp --remove-destination "$1" "$1.tmp" && mv "$1.tmp" "$1"' _ {} \;
    rm -f "$dir/.cx-template-ready"
}

warm() {
    local dir=$1
    WINEPREFIX=$dir wineserver -p </dev/null >/dev/null 2>&1 || true
    WINEPREFIX=$dir wine wineboot </dev/null >/dev/null 2>&1 || true
}

stop() {
    local dir=$1
    [ -d "$dir" ] && WINEPREFIX=$dir wineserver -k 2>/dev/null || true
    [ -d "$dir" ] && WINEPREFIX=$dir wineserver -w 2>/dev/null || true
}

cmd=$1; shift
# Wine wants absolute prefix paths.
args=()
for a in "$@"; do args+=("$(realpath -m "$a")"); done
set -- "${args[@]}"
case $cmd in
    template) make_template "$1" ;;
    # Serialised per prefix; -o keeps the lock out of the wine processes, which outlive this script.
    fresh|ensure)
        mkdir -p "$(dirname "$2")"
        exec flock -o "$2.lock" "$0" "locked-$cmd" "$@" ;;
    locked-fresh) make_template "$1"; stop "$2"; clone "$1" "$2"; warm "$2" ;;
    locked-ensure)
        [ -d "$2" ] || { make_template "$1"; clone "$1" "$2"; }
        # Start the wineserver and its services here, detached from the caller's output, when none runs:
        # a wineserver started by wine itself would inherit the caller's pipe and hold it open. (With a
        # server already running, wineserver -p exits with 2.)
        if WINEPREFIX=$2 wineserver -p </dev/null >/dev/null 2>&1; then warm "$2"; fi ;;
    stop) stop "$1" ;;
    *) echo "usage: $0 template|fresh|ensure|stop ..." >&2; exit 2 ;;
esac
