# Shared by the run and test commands: installing what a fresh Debian 12 machine
# lacks, and building a preset. Sourced, not run.

PONDERIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building, running and testing need, from Debian's own packages.
PONDERIX_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libxcb1-dev
    fonts-liberation fonts-dejavu-core fonts-wine
)
# A virtual display, a window manager and a task bar on it (a desktop as users
# have one), and the tools that drive the program on it like a user.
PONDERIX_DISPLAY_PACKAGES=(
    xvfb x11-utils xdotool imagemagick xclip procps openbox tint2 wmctrl xauth
)
# The desktops people run, for scripts/e2e-desktops: X11 window managers
# (Xfce's, KDE's, GNOME's) in D-Bus sessions of their own, Wayland compositors
# (wlroots', KDE's) with their Xwayland, and Qt's Wayland platform.
PONDERIX_DESKTOP_PACKAGES=(
    dbus xfwm4 xfconf kwin-x11 mutter sway xwayland kwin-wayland qt6-wayland python3 xauth
)
# A screen reader that speaks, for scripts/e2e-access: Orca, speech-dispatcher
# with espeak-ng, on ALSA's null device.
# The accessibility bus, its registry and Python's reader of it: a screen
# reader's view of the Qt build (scripts/atspi-check).
PONDERIX_ATSPI_PACKAGES=(at-spi2-core python3-pyatspi dbus)
PONDERIX_READER_PACKAGES=(
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng libasound2-plugins
    "${PONDERIX_ATSPI_PACKAGES[@]}"
)
# The Windows build: the mingw-w64 cross compilers (POSIX threads), GoogleTest's
# sources to build for Windows, Wine and the fonts its windows ask for, and the
# virtual display (xauth for xvfb-run) to run and drive the program on.
PONDERIX_WINDOWS_PACKAGES=(
    cmake ninja-build g++-mingw-w64-x86-64-posix binutils libgtest-dev
    wine wine64 fonts-wine fonts-liberation fonts-dejavu-core xauth
    "${PONDERIX_DISPLAY_PACKAGES[@]}"
)
PONDERIX_TEST_PACKAGES=(
    libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    "${PONDERIX_ATSPI_PACKAGES[@]}"
    "${PONDERIX_DISPLAY_PACKAGES[@]}" "${PONDERIX_DESKTOP_PACKAGES[@]}"
    "${PONDERIX_READER_PACKAGES[@]}"
)
# Making the packages (scripts/package): dpkg-shlibdeps, dpkg-buildflags and
# dpkg-deb for the .deb; the Windows build, Python (the zip) and wixl for the
# Windows ones, with msitools' library through GObject introspection (the
# MSI's package code and dates); git for the time of the last commit.
PONDERIX_PACKAGE_PACKAGES=(
    "${PONDERIX_BUILD_PACKAGES[@]}" dpkg-dev gzip git
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    python3 wixl gir1.2-libmsi-1.0 python3-gi
)
# Checking them: the package, desktop entry and AppStream validators,
# hardening-check (devscripts), readers of the zip and the MSI (msitools), the
# Windows tools (objdump, Wine) to look at and run the exe and install the
# MSI, and diffoscope, which shows where two builds differ.
PONDERIX_PACKAGE_TEST_PACKAGES=(
    lintian desktop-file-utils appstream unzip python3 man-db
    devscripts msitools diffoscope-minimal
    "${PONDERIX_WINDOWS_PACKAGES[@]}"
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "ponderix: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

# ensure_packages PKG... installs the packages that are not installed yet; when all
# are there it touches nothing, so a second run costs no time.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "ponderix: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
        as_root apt-get update
        as_root apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# build_preset NAME configures and builds one CMake preset.
build_preset() {
    cmake --preset "$1" -S "$PONDERIX_ROOT" >/dev/null
    cmake --build --preset "$1" -j "$(nproc)"
}

# build_deb builds the program of the Debian package (preset deb) with Debian's
# own compiler and linker flags (hardening included) and packs
# build/packages/ponderix_<version>_<arch>.deb.
build_deb() {
    # Debian 12's dpkg-buildflags knows no stack clash or control-flow
    # protection (hardening features of later dpkg): they are added here. The
    # flags are given on every run, so a build folder never keeps old ones.
    local hardening=(env DEB_BUILD_MAINT_OPTIONS=hardening=+all)
    local cxxflags ldflags
    cxxflags="$(cd "$PONDERIX_ROOT" && "${hardening[@]}" dpkg-buildflags --get CXXFLAGS)"
    cxxflags+=" $("${hardening[@]}" dpkg-buildflags --get CPPFLAGS)"
    cxxflags+=" -fstack-clash-protection -fcf-protection"
    ldflags="$("${hardening[@]}" dpkg-buildflags --get LDFLAGS)"
    cmake --preset deb -S "$PONDERIX_ROOT" \
        -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
    cmake --build --preset deb -j "$(nproc)"
    (cd "$PONDERIX_ROOT" && cpack --preset deb >/dev/null)
}

# build_windows_packages builds the size-optimised Windows program (preset
# windows-release) and packs build/packages/ponderix-<version>-win64.zip and
# build/packages/ponderix-<version>-win64.msi.
build_windows_packages() {
    build_preset windows-release
    (cd "$PONDERIX_ROOT" && cpack --preset windows-release >/dev/null)
}

# The packages scripts/package makes in build/packages/.
PONDERIX_DEB=ponderix_1.00-1_amd64.deb
PONDERIX_MSI=ponderix-1.00-win64.msi
PONDERIX_ZIP=ponderix-1.00-win64.zip
PONDERIX_PACKAGE_FILES=("$PONDERIX_DEB" "$PONDERIX_MSI" "$PONDERIX_ZIP")

# export_source_date_epoch exports the time the packages are dated with:
# SOURCE_DATE_EPOCH when set, else the time of the last commit
# (cmake/PonderixSourceDate.cmake); fails outside a git checkout without it.
export_source_date_epoch() {
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git -C "$PONDERIX_ROOT" log -1 --format=%ct) || {
            echo "ponderix: no git checkout here: set SOURCE_DATE_EPOCH to the time of its last commit" >&2
            return 1
        }
    fi
    export SOURCE_DATE_EPOCH
}

# Where things are on the main window at 100 %, in pixels from its top-left
# corner, for the scripts that drive it with the mouse.
CALCULATE=(111 294)
MENU_KEY=(408 21)
MINIMISE_KEY=(433 21)
CLOSE_KEY=(458 21)
OFF_THE_KEYS=(300 395)  # the bare background below the legend
# A point of the question-mark key's face where its two pictures differ.
MENU_FACE=(402 14)
MENU_FACE_NORMAL=128,160,192
MENU_FACE_LIT=157,189,221

# menu_face_at LEFT TOP SHOT: the colour of the question-mark key's face, on a
# screenshot of the whole screen (saved to SHOT) with the main window at LEFT, TOP.
menu_face_at() {
    import -window root "$3"
    pixel_at "$3" $(($1 + MENU_FACE[0])) $(($2 + MENU_FACE[1]))
}

# ended PID [SECONDS]: the process ended within that many seconds (default 5).
ended() {
    until_true "${2:-5}" eval "! kill -0 $1 2>/dev/null"
}

# on_exit COMMAND runs COMMAND when the calling script exits, before the ones
# given earlier (a script's own EXIT trap would replace them all).
PONDERIX_ON_EXIT=()
on_exit() {
    PONDERIX_ON_EXIT=("$1" "${PONDERIX_ON_EXIT[@]}")
    trap 'for command in "${PONDERIX_ON_EXIT[@]}"; do eval "$command" || true; done' EXIT
}

# until_true SECONDS COMMAND...: runs the command every 50 ms until it
# succeeds; fails if it has not within that many seconds.
until_true() {
    local limit=$1 start=$SECONDS
    shift
    until "$@"; do
        [ $((SECONDS - start)) -lt "$limit" ] || return 1
        sleep 0.05
    done
}

# start_virtual_display [WIDTHxHEIGHT] starts Xvfb on a free display number
# (1024 x 768 unless given, 24-bit, 96 dpi), exports DISPLAY and stops the
# server when the calling script exits. The numbers tried start at
# PONDERIX_DISPLAY_FROM (99), so that scripts run side by side take apart.
start_virtual_display() {
    local size=${1:-1024x768}
    local number=${PONDERIX_DISPLAY_FROM:-99}
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    # -noreset: without it the server resets whenever its last client leaves,
    # and a program started during the reset cannot connect.
    Xvfb ":${number}" -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
    PONDERIX_XVFB_PID=$!
    export DISPLAY=":${number}"
    on_exit 'kill "$PONDERIX_XVFB_PID" 2>/dev/null'
    until_true 5 eval 'xdpyinfo >/dev/null 2>&1' || {
        echo "ponderix: the virtual display did not start" >&2
        return 1
    }
}

# start_desktop starts a window manager (openbox) and a task bar (tint2) on
# DISPLAY, each with its default settings, waits until both are up, and stops
# them when the calling script exits.
start_desktop() {
    PONDERIX_DESKTOP_CONFIG=$(mktemp -d)
    on_exit 'rm -rf "$PONDERIX_DESKTOP_CONFIG"'
    XDG_CONFIG_HOME="$PONDERIX_DESKTOP_CONFIG" openbox --sm-disable >/dev/null 2>&1 &
    PONDERIX_WM_PID=$!
    on_exit 'kill "$PONDERIX_WM_PID" 2>/dev/null'
    until_true 10 eval 'wmctrl -m >/dev/null 2>&1' || {
        echo "ponderix: the window manager did not start" >&2
        return 1
    }
    XDG_CONFIG_HOME="$PONDERIX_DESKTOP_CONFIG" tint2 >/dev/null 2>&1 &
    PONDERIX_TASKBAR_PID=$!
    on_exit 'kill "$PONDERIX_TASKBAR_PID" 2>/dev/null'
    until_true 10 eval "xdotool search --onlyvisible --classname '^tint2\$' >/dev/null 2>&1" || {
        echo "ponderix: the task bar did not start" >&2
        return 1
    }
}

# What the desktop says of an X window: its WM_STATE (Normal, Iconic, or
# nothing once it is withdrawn), whether it is on the screen, and whether it
# keeps off the task bar.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'; }
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
skips_task_bar() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_SKIP_TASKBAR; }

# comes_back_whole WINDOW OWNED...: once WINDOW was asked to minimise, tells
# whether it went with the windows it owns, then, restored as a task bar
# restores it, came back with them and stays so (a window that goes back to
# minimised does so at once).
comes_back_whole() {
    local window=$1 id
    shift
    until_true 5 eval '[ "$(wm_state "$window")" = Iconic ]' || return 1
    for id in "$@"; do
        until_true 5 eval '! is_viewable "$id"' || return 1
    done
    wmctrl -ia "$window"
    until_true 5 eval '[ "$(wm_state "$window")" = Normal ]' || return 1
    for id in "$@"; do
        until_true 5 is_viewable "$id" || return 1
    done
    sleep 0.5
    [ "$(wm_state "$window")" = Normal ] && is_viewable "$window"
}

# check DESCRIPTION COMMAND... runs one check of an end-to-end test: says
# "ok" or "FAIL" with the description, and counts the failures in `failures`.
failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok    $what"
    else
        echo "  FAIL  $what"
        failures=$((failures + 1))
    fi
}

# start_wine makes the project's Wine prefix ready for this script's Wine
# programs (build/windows/wine unless PONDERIX_WINEPREFIX names another, the
# one scripts/wine-run uses), and stops its Wine server when the script exits.
# A server left from an earlier run would still draw on its old display, so it
# is stopped first.
start_wine() {
    export WINEPREFIX="${PONDERIX_WINEPREFIX:-$PONDERIX_ROOT/build/windows/wine}"
    export WINEDEBUG=-all
    wineserver -k 2>/dev/null || true
    on_exit 'wineserver -k 2>/dev/null'
    "$PONDERIX_ROOT/scripts/wine-prefix"
}

# check_windows_program EXE: fails unless every DLL the Windows program imports
# is a Known DLL, which Windows always takes from System32 (so nothing is
# loaded from the program's folder, and no compiler runtime needs to lie
# beside it), and its header keeps ASLR, high-entropy addresses and DEP
# (cmake/CheckWindowsProgram.cmake). Prints what it read.
check_windows_program() {
    cmake -DPROGRAM="$1" -DOBJDUMP=x86_64-w64-mingw32-objdump \
        -P "$PONDERIX_ROOT/cmake/CheckWindowsProgram.cmake" 2>&1 | sed 's/^-- //'
    return "${PIPESTATUS[0]}"
}

# has_display tells whether DISPLAY names an X server that answers.
has_display() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# wait_for_window TITLE [SECONDS] prints the id of the visible window whose
# title is exactly TITLE, once it is mapped; fails after SECONDS (default 10).
wait_for_window() {
    local title=$1 limit=${2:-10} id="" start=$SECONDS
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    echo "ponderix: no window titled '$title' appeared within ${limit}s" >&2
    return 1
}

# window_geometry ID prints "LEFT TOP WIDTH HEIGHT" of an X window on the screen.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w, h }'
}

# pixel_at PICTURE X Y prints the colour at a point of a picture as "R,G,B".
pixel_at() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# count_colour PICTURE AREA COLOUR prints how many pixels of an area of a
# picture ("WIDTHxHEIGHT+LEFT+TOP") have exactly that colour (#rrggbb).
count_colour() {
    convert "$1" -crop "$2" +repage -format %c histogram:info:- |
        awk -v colour="$3" 'toupper($0) ~ toupper(colour) { sum += $1 } END { print sum + 0 }'
}
