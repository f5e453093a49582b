# Shared by scripts/check and scripts/demo: installs what is missing, and sets up Wine
# and a virtual display for the Windows programs.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64-win32 googletest wine wine64 fonts-wine xvfb xauth
          x11-utils imagemagick icoutils binutils-mingw-w64-x86-64 clang-format clang-tidy)

install_missing() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Run as root (or install these yourself): ${missing[*]}" >&2
        return 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine in a prefix inside the build tree (the windows preset's, unless WINEPREFIX names
# another), without installer dialogs or debug chatter.
use_wine() {
    export WINEPREFIX="${WINEPREFIX:-$ROOT/build/windows/wineprefix}"
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Starts Wine's server and background programs once, so that each test starts quickly and
# nothing Wine leaves running holds on to a test's output.
start_wine() {
    use_wine
    mkdir -p "$WINEPREFIX"
    # Its output must not hold ours open; it is already running when it answers 2.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
    wineserver -k 2>/dev/null || true
}

# A virtual display for real windows, unless one is given.
XVFB_PID=""
start_display() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && return 0
    local display
    for display in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$display"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
    done
    echo "cannot start a virtual display" >&2
    return 1
}

stop_display() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}
