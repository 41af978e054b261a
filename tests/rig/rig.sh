#!/usr/bin/env bash
# The Wine test rig: an X server with the dummy video driver (real modes with
# real refresh rates), a Wine prefix on it, and a demo ATI driver profile in
# the registry. See README.md beside this file.
#
#   rig.sh start | stop | restart | status
#   rig.sh run PROGRAM.exe [ARGS...]
#   rig.sh screenshot FILE.png
#   rig.sh seed                       put the demo profile in again
#   rig.sh driver-save FILE           save the driver key, byte for byte
#   rig.sh driver-load FILE           load such a file into the driver key
#                                     (and put back what Wine rebuilt)
#
# All state lives in CADENZO_RIG_DIR (default /tmp/cadenzo-rig); rigs with
# different directories run side by side on different X displays.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

RIG_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Every "wine" below, and in what sources rig.env, is the rig's own (bin/wine).
export PATH="$RIG_SRC/bin:$PATH"
mkdir -p "${CADENZO_RIG_DIR:-/tmp/cadenzo-rig}"
RIG_DIR=$(cd "${CADENZO_RIG_DIR:-/tmp/cadenzo-rig}" && pwd)
CADENZO_RIG_DIR=$RIG_DIR
CADENZO_RIG_BIN=$RIG_DIR/bin
PREFIX=${CADENZO_WINEPREFIX:-$RIG_DIR/prefix}
# Shared by the rigs that name it: the tools, built once, and a template of a new Wine prefix.
CACHE=${CADENZO_RIG_CACHE:-}
if [[ -n $CACHE ]]; then
    mkdir -p "$CACHE"
    CACHE=$(cd "$CACHE" && pwd)
    CADENZO_RIG_BIN=$CACHE/bin
fi
BIN=$CADENZO_RIG_BIN
PROFILE=${CADENZO_RIG_PROFILE:-$RIG_SRC/demo-driver.reg}
DEFAULT_XORG_CONF=$RIG_SRC/xorg-dummy.conf
ENV_FILE=$RIG_DIR/rig.env
STORED_MODE=$RIG_DIR/stored-mode
BOOT_MODE=$RIG_DIR/boot-mode
WINE_LOG=$RIG_DIR/wine.log
DISPLAY_BASE=${CADENZO_RIG_DISPLAY_BASE:-50}
# While Wine is down the rig moves the machine's RunOnce key here, so that
# its entries run after the driver key is back, as they would on Windows.
HELD_RUNONCE='Software\Cadenzo rig held RunOnce'
HELD_RUN='Software\Cadenzo rig held Run'
TOOLS=(displayinfo regcarry logon)

export WINEPREFIX=$PREFIX
export WINEDEBUG=-all
# No Mono/Gecko download prompts, no desktop menu entries in $HOME.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

say() { printf 'rig: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }

# A process that has ended but was not reaped (the rig's background children
# end up under an init that may not reap) counts as gone.
alive() {
    local pid=$1 stat
    [[ -n $pid && -r /proc/$pid/stat ]] || return 1
    stat=$(</proc/"$pid"/stat) || return 1
    stat=${stat##*) }
    [[ ${stat:0:1} != Z ]]
}

wait_gone() {
    local pid=$1 tenths=$(( $2 * 10 ))
    while alive "$pid" && (( tenths-- > 0 )); do sleep 0.1; done
    ! alive "$pid"
}

read_file() { if [[ -r $1 ]]; then cat "$1"; fi; }

# Wine sees the host's root as drive Z:.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

is_running() { alive "$(read_file "$RIG_DIR/xorg.pid")" || alive "$(read_file "$RIG_DIR/wineserver.pid")"; }

# Holds the shared cache for one rig until unlock_cache (a no-op without a cache). What the rig
# starts meanwhile gets 9>&-: a wineserver that kept the descriptor would keep the lock.
lock_cache() {
    [[ -n $CACHE ]] || return 0
    exec 9>"$CACHE/lock"
    flock -w 900 9 || die "the rig cache $CACHE stayed locked for 15 minutes"
}
unlock_cache() {
    [[ -n $CACHE ]] || return 0
    flock -u 9
    exec 9>&-
}

# --- tools ------------------------------------------------------------------

build_tools() {
    lock_cache
    build_tools_locked
    unlock_cache
}

build_tools_locked() {
    mkdir -p "$BIN"
    local tool src exe pids=() flags
    for tool in "${TOOLS[@]}"; do
        src=$RIG_SRC/tools/$tool.cpp
        exe=$BIN/$tool.exe
        [[ -f $exe && $exe -nt $src ]] && continue
        flags=(-std=c++17 -O2 -Wall -Wextra -static -s)
        [[ $tool == logon ]] && flags+=(-municode)
        x86_64-w64-mingw32-g++-posix "${flags[@]}" -o "$exe.tmp" "$src" &&
            mv "$exe.tmp" "$exe" &
        pids+=($!)
    done
    local pid failed=0
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
    (( failed == 0 )) || die "building the rig's tools failed (package g++-mingw-w64-x86-64-posix)"
}

# --- X server ---------------------------------------------------------------

display_free() {
    [[ ! -e /tmp/.X$1-lock && ! -e /tmp/.X11-unix/X$1 ]]
}

# Starts Xorg with config $1 on display $2 and waits until it answers.
# Returns 2 when another server holds that display.
launch_x() {
    local conf=$1 n=$2 pid tenths=100
    cp "$conf" "$RIG_DIR/xorg.conf"
    mkdir -p "$RIG_DIR/xorg.conf.d"
    # Xorg ignores a config directory that holds no file.
    echo '# The rig keeps its whole X configuration in xorg.conf.' >"$RIG_DIR/xorg.conf.d/00-rig.conf"
    setsid Xorg ":$n" -config "$RIG_DIR/xorg.conf" -configdir "$RIG_DIR/xorg.conf.d" \
        -noreset -nolisten tcp -logfile "$RIG_DIR/xorg.log" \
        </dev/null >"$RIG_DIR/xorg.out" 2>&1 &
    pid=$!
    while (( tenths-- > 0 )); do
        if ! alive "$pid"; then
            grep -q 'already active' "$RIG_DIR/xorg.out" && return 2
            say "Xorg :$n failed; see $RIG_DIR/xorg.out and $RIG_DIR/xorg.log"
            return 1
        fi
        # The lock file names the server that holds the display: another rig's
        # server may answer on it before ours has found that it lost the race.
        if [[ -S /tmp/.X11-unix/X$n && $(tr -d ' \n' 2>/dev/null </tmp/.X"$n"-lock) == "$pid" ]] &&
            xrandr -display ":$n" -q >/dev/null 2>&1; then
            echo "$pid" >"$RIG_DIR/xorg.pid"
            echo ":$n" >"$RIG_DIR/display"
            return 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    say "Xorg :$n did not answer within 10 s"
    return 1
}

# CADENZO_RIG_DISPLAY names a display: one that answers already (a person's
# own screen) is used as it is and never stopped; a free ":N" gets the rig's
# Xorg. Without it the rig takes the first free number from DISPLAY_BASE.
start_x() {
    local conf=$1 n rc d=${CADENZO_RIG_DISPLAY:-}
    if [[ -n $d ]]; then
        [[ $d == *:* ]] || d=:$d
        if xrandr -display "$d" -q >/dev/null 2>&1; then
            rm -f "$RIG_DIR/xorg.pid"
            echo "$d" >"$RIG_DIR/display"
            return
        fi
        [[ $d =~ ^:([0-9]+)$ ]] || die "X display $d does not answer"
        launch_x "$conf" "${BASH_REMATCH[1]}" || die "cannot start Xorg on $d"
        return
    fi
    for (( n = DISPLAY_BASE; n < DISPLAY_BASE + 50; n++ )); do
        display_free "$n" || continue
        rc=0
        launch_x "$conf" "$n" || rc=$?
        (( rc == 0 )) && return
        (( rc == 2 )) || die "cannot start Xorg"
    done
    die "no free X display in :$DISPLAY_BASE to :$(( DISPLAY_BASE + 49 ))"
}

# Stops the Xorg with PID $1 on display $2.
stop_xorg() {
    local pid=$1 d=$2
    # Only the server this rig started: the PID may have been reused.
    if alive "$pid" && [[ $(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline") == *"Xorg $d "* ]]; then
        kill -TERM "$pid" 2>/dev/null || true
        wait_gone "$pid" 10 || { kill -KILL "$pid" 2>/dev/null || true; wait_gone "$pid" 5 || true; }
    fi
}

stop_x() {
    stop_xorg "$(read_file "$RIG_DIR/xorg.pid")" "$(read_file "$RIG_DIR/display")"
    rm -f "$RIG_DIR/xorg.pid"
}

# Starts the rig's Xorg again with config $1. The new server comes up on a free
# display before the old one stops, so that no other rig takes the number in
# between; a display named in CADENZO_RIG_DISPLAY keeps its number.
restart_x() {
    local old_pid old_display
    old_pid=$(read_file "$RIG_DIR/xorg.pid")
    old_display=$(read_file "$RIG_DIR/display")
    if [[ -n ${CADENZO_RIG_DISPLAY:-} ]]; then
        stop_x
        wait_for_display_release "${old_display#:}"
        start_x "$1"
    else
        start_x "$1"
        stop_xorg "$old_pid" "$old_display"
    fi
}

# --- Wine -------------------------------------------------------------------

# The prefix's wineserver runs for as long as the rig: Wine keeps the display
# driver's key only while its server lives, and a server left to itself ends
# soon after the last program.
start_wineserver() {
    local pid dir tenths=100
    mkdir -p "$PREFIX"
    setsid wineserver -f -p </dev/null >>"$WINE_LOG" 2>&1 &
    pid=$!
    while (( tenths-- > 0 )); do
        alive "$pid" || die "a wineserver already runs for $PREFIX (not started by this rig); stop it first"
        dir=$(readlink "/proc/$pid/cwd" 2>/dev/null || true)
        if [[ $dir == */server-* && -S $dir/socket ]]; then
            echo "$pid" >"$RIG_DIR/wineserver.pid"
            return
        fi
        sleep 0.1
    done
    die "wineserver did not come up"
}

stop_wine() {
    local pid
    pid=$(read_file "$RIG_DIR/wineserver.pid")
    if alive "$pid"; then
        timeout 20 wineserver -k >>"$WINE_LOG" 2>&1 || true
        wait_gone "$pid" 20 || { kill -KILL "$pid" 2>/dev/null || true; wait_gone "$pid" 5 || true; }
    fi
    rm -f "$RIG_DIR/wineserver.pid"
}

# Moves the RunOnce key aside in the saved registry (Wine must be down).
hold_runonce() {
    local reg=$PREFIX/system.reg
    [[ -f $reg ]] || return 0
    sed -i -e 's/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce\] /[Software\\\\Cadenzo rig held RunOnce] /I' \
        -e 's/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\] /[Software\\\\Cadenzo rig held Run] /I' "$reg"
}

# Boots the prefix (creating it when new) and finds the driver key.
boot_wine() {
    local key
    DISPLAY=$(read_file "$RIG_DIR/display")
    export DISPLAY
    start_wineserver
    # The first program boots the prefix; its services inherit its output,
    # so that goes to files, never to a pipe.
    timeout 300 setsid wine "$BIN/displayinfo.exe" key </dev/null >"$RIG_DIR/devicekey" 2>>"$WINE_LOG" ||
        die "Wine did not boot; see $WINE_LOG"
    key=$(tr -d '\r\n' <"$RIG_DIR/devicekey")
    local machine="\\Registry\\Machine\\"
    [[ $key == "$machine"* ]] || die "unexpected display device key: $key"
    # shellcheck disable=SC2034 # written to the env file
    CADENZO_DEVICE_KEY=$key
    CADENZO_DRIVER_KEY=${key:${#machine}}
}

# A new prefix takes Wine about 10 s of work. With a cache it is made once, as the template,
# and each rig's prefix starts as a copy: the system's DLLs, programs and code page tables,
# which Wine writes only when it makes or updates a prefix, as hard links; all the rest (the
# registry, the ini files) as files of its own. The template is made again for another Wine.
TEMPLATE_SHARED='.*\.\(dll\|exe\|drv\|sys\|vxd\|ocx\|cpl\|acm\|tlb\|ds\|com\|nls\|ax\)'

prefix_from_template() {
    local template=$CACHE/prefix stamp new=$PREFIX.new
    [[ -n $CACHE && ! -e $PREFIX ]] || return 0
    DISPLAY=$(read_file "$RIG_DIR/display")
    export DISPLAY
    lock_cache
    stamp="$(wine --version 2>/dev/null) $(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null)"
    if [[ ! -d $template || $(read_file "$CACHE/prefix.stamp") != "$stamp" ]]; then
        say "making the template Wine prefix in $template"
        rm -rf "$template" "$template.new"
        # Booted as a rig boots its prefix, then Wine ends by itself and saves the registry.
        WINEPREFIX=$template.new timeout 300 setsid wine "$BIN/displayinfo.exe" key </dev/null \
            >/dev/null 2>>"$WINE_LOG" 9>&- || die "Wine did not make the template prefix; see $WINE_LOG"
        WINEPREFIX=$template.new timeout 60 wineserver -w 9>&- ||
            die "the template prefix's wineserver did not end"
        mv "$template.new" "$template"
        echo "$stamp" >"$CACHE/prefix.stamp"
    fi
    rm -rf "$new"
    cp -a --link "$template" "$new"
    find "$new" -type f ! -iregex "$TEMPLATE_SHARED" -exec sh -c \
        'for f; do cp -p "$f" "$f.own" && mv -f "$f.own" "$f"; done' sh {} + ||
        die "copying the template prefix failed"
    unlock_cache
    mv "$new" "$PREFIX"
}

# Debian's Wine does not find its own TrueType fonts (package fonts-wine)
# unless they are in the prefix: without Marlett the caption buttons show
# letters, without Tahoma dialogs fall back to bitmap fonts.
link_fonts() {
    local font fonts=$PREFIX/drive_c/windows/Fonts
    [[ -d $fonts ]] || return 0
    # The bitmap fonts too: "MS Sans Serif" is sserife.fon; without it GDI falls back to a
    # host font (DejaVu Sans), much wider than the dialogs were laid out for.
    for font in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
        [[ -e $font && ! -e $fonts/${font##*/} ]] && ln -s "$font" "$fonts/"
    done
    return 0
}

# One "export NAME='value'" a line, for sh and bash alike.
write_env() {
    local name value
    for name in PATH DISPLAY WINEPREFIX WINEDEBUG WINEDLLOVERRIDES CADENZO_RIG_DIR CADENZO_RIG_BIN \
        CADENZO_DEVICE_KEY CADENZO_DRIVER_KEY; do
        value=${!name}
        printf "export %s='%s'\n" "$name" "${value//\'/\'\\\'\'}"
    done >"$ENV_FILE"
}

load_env() {
    if [[ ! -r $ENV_FILE ]] || ! is_running; then die "the rig in $RIG_DIR is not started"; fi
    # shellcheck source=/dev/null
    source "$ENV_FILE"
}

# Writes the profile to $1 with the driver key filled in. $2 = all: the
# whole profile and the rig's own Wine setting; $2 = rebuilt: only the keys
# that Wine rebuilds at every boot and mode change besides the driver key
# (the PCI device keys under Enum\PCI), which have to be put back.
render_profile() {
    local line keep rebuilt="[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\"
    {
        printf 'REGEDIT4\n\n'
        if [[ $2 == all ]]; then
            # Without a window manager Wine stalls whenever a window hides.
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n'
        fi
        [[ $2 == all ]] && keep=1 || keep=0
        while IFS= read -r line || [[ -n $line ]]; do
            line=${line%$'\r'}
            [[ $line == REGEDIT4 ]] && continue
            if [[ $line == '['* ]]; then
                line=${line//@DRIVER_KEY@/$CADENZO_DRIVER_KEY}
                if [[ $2 != all ]]; then
                    keep=0
                    if [[ ${line^^} == "${rebuilt^^}"* ]]; then keep=1; fi
                fi
            fi
            if (( keep )); then printf '%s\n' "$line"; fi
        done <"$PROFILE"
        # The monitor's EDID where Windows keeps it, put in again at every boot.
        if [[ -n ${CADENZO_RIG_MONITOR:-} ]]; then
            printf '[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\Default_Monitor\\0000&0000\\Device Parameters]\n'
            printf '"EDID"=hex:%s\n\n' "$(/usr/bin/python3 "$RIG_SRC/monitor.py" hex "$CADENZO_RIG_MONITOR" | sed 's/../&,/g; s/,$//')"
        fi
    } >"$1"
}

# With a monitor: a mode in force that it cannot show leaves the screen dark, which the file
# "dark" says (and why) until a restart brings a mode it shows.
mark_dark() {
    local mode why
    rm -f "$RIG_DIR/dark"
    [[ -n ${CADENZO_RIG_MONITOR:-} && -r $RIG_DIR/xorg.pid ]] || return 0
    mode=$(xrandr --display "$DISPLAY" 2>/dev/null | awk '$2 ~ /\*/ { print $1; exit }')
    if why=$(/usr/bin/python3 "$RIG_SRC/monitor.py" dark "$CADENZO_RIG_MONITOR" "$RIG_DIR/xorg.conf" "$mode"); then
        printf '%s\n' "$why" >"$RIG_DIR/dark"
        say "the screen is dark: $why"
    fi
}

import_reg() {
    timeout 60 wine regedit /s "$(winpath "$1")" </dev/null >>"$WINE_LOG" 2>&1 ||
        die "importing $1 failed; see $WINE_LOG"
}

seed() {
    render_profile "$RIG_DIR/seed.reg" "${1:-all}"
    import_reg "$RIG_DIR/seed.reg"
}

regcarry() {
    timeout 60 wine "$BIN/regcarry.exe" "$1" "$CADENZO_DRIVER_KEY" "$(winpath "$2")" </dev/null >>"$WINE_LOG" 2>&1 ||
        die "regcarry $1 failed; see $WINE_LOG"
}

# The mode Windows stored with ChangeDisplaySettings(CDS_UPDATEREGISTRY), which the next start
# comes up in: EnumDisplaySettings(ENUM_REGISTRY_SETTINGS) as WxH_RATE, the name of its Modeline.
# Wine keeps it only in a volatile key, so it is saved beside the driver key (Wine must be up).
# Windows changes the stored mode only when a program stores one; a start whose stored mode the
# driver refuses falls back for that session and keeps it. Wine rewrites its value with the mode
# it booted in, so a value equal to that mode keeps the stored mode carried so far.
save_stored_mode() {
    local line now
    if [[ ${CADENZO_RIG_STORED_MODE:-1} == 0 ]]; then
        rm -f "$STORED_MODE"
        return 0
    fi
    line=$(timeout 60 wine "$BIN/displayinfo.exe" registry </dev/null 2>>"$WINE_LOG" | tr -d '\r') || true
    now=$(awk -F'\t' '$1 == "registry" && $5 ~ /^hz=[0-9]+$/ { print $3 "_" substr($5, 4) }' \
        <<<"$line")
    if [[ -s $STORED_MODE && -s $BOOT_MODE && $now == "$(read_file "$BOOT_MODE")" ]]; then
        say "the stored mode stays $(read_file "$STORED_MODE"): nothing stored another since the start"
        return 0
    fi
    printf '%s\n' "$now" >"$STORED_MODE"
}

# The mode the session started in, for save_stored_mode.
note_boot_mode() {
    rm -f "$BOOT_MODE"
    [[ -r $RIG_DIR/xorg.pid ]] || return 0
    xrandr --display "$(read_file "$RIG_DIR/display")" 2>/dev/null |
        awk '$2 ~ /\*/ { print $1; exit }' >"$BOOT_MODE"
}

# Brings the rig's X server to the stored mode when the driver offers it, else to the configured
# start mode (the first name in "Modes"), as Windows falls back from a mode it cannot set. A
# server that kept running may be in any mode a program set; one that started anew is in the
# start mode already. Wine is down meanwhile: it finds the mode in force when it boots.
start_in_stored_mode() {
    local d offered want current output
    [[ -r $RIG_DIR/xorg.pid && ${CADENZO_RIG_STORED_MODE:-1} != 0 ]] || return 0
    d=$(read_file "$RIG_DIR/display")
    offered=$(xrandr --display "$d" 2>/dev/null | awk '/^ +[0-9]+x[0-9]+_[0-9]+ / { print $1 }')
    want=$(read_file "$STORED_MODE")
    if [[ -n $want ]] && ! grep -qxF "$want" <<<"$offered"; then
        say "the stored mode $want is not offered; starting in the configured mode"
        want=
    fi
    [[ -n $want ]] || want=$(awk '$1 == "Modes" { gsub(/"/, "", $2); print $2; exit }' "$RIG_DIR/xorg.conf")
    current=$(xrandr --display "$d" 2>/dev/null | awk '$2 ~ /\*/ { print $1; exit }')
    [[ -n $want && $want != "$current" ]] && grep -qxF "$want" <<<"$offered" || return 0
    output=$(xrandr --display "$d" | awk '/ connected/ { print $1; exit }')
    xrandr --display "$d" --output "$output" --mode "$want" || die "xrandr could not set $want"
    say "started in $want"
}

# Starts what was held from RunOnce, as the logon after a restart does.
logon() {
    timeout 60 wine "$BIN/logon.exe" "$HELD_RUNONCE" "$HELD_RUN" </dev/null >>"$WINE_LOG" 2>&1 ||
        say "some RunOnce entries did not start; see $WINE_LOG"
}

# --- commands ---------------------------------------------------------------

cmd_start() {
    is_running && die "the rig in $RIG_DIR is already started (rig.sh stop first)"
    rm -f "$ENV_FILE"
    build_tools
    # A start that fails half-way leaves nothing running.
    trap cmd_stop EXIT
    start_x "${CADENZO_RIG_XORG_CONF:-$DEFAULT_XORG_CONF}"
    prefix_from_template
    hold_runonce
    boot_wine
    note_boot_mode
    link_fonts
    seed
    mark_dark
    write_env
    logon
    trap - EXIT
    say "started: DISPLAY=$(read_file "$RIG_DIR/display") WINEPREFIX=$PREFIX"
    echo "$ENV_FILE"
}

cmd_stop() {
    stop_wine
    stop_x
    rm -f "$ENV_FILE" "$RIG_DIR/display"
}

# A restart of Windows: the registry is kept, the display driver comes up
# again (under Wine: a new driver key, and the Wine session's volatile state
# is gone), then the user logs on and RunOnce runs.
cmd_restart() {
    load_env
    local carry=$RIG_DIR/carry.txt next=$RIG_DIR/xorg-next.conf conf
    regcarry save "$carry"
    save_stored_mode
    trap cmd_stop EXIT
    stop_wine
    rm -f "$next"
    conf=${CADENZO_RIG_XORG_CONF:-$DEFAULT_XORG_CONF}
    # As the driver would, offer only the rates its registry values leave; always
    # derived from the full configuration, so a list that refuses less brings modes back.
    if [[ -r $RIG_DIR/xorg.pid && ${CADENZO_RIG_SIMULATED_DRIVER:-1} != 0 ]]; then
        /usr/bin/python3 "$RIG_SRC/simulated-driver.py" "$carry" "$conf" "$next" ||
            die "the simulated driver failed on $carry"
    fi
    # The hook sees the simulated driver's configuration in NEXT and may replace it.
    if [[ -n ${CADENZO_RIG_RESTART_HOOK:-} ]]; then
        # shellcheck disable=SC2086 # the hook may be a command with arguments
        $CADENZO_RIG_RESTART_HOOK "$carry" "$RIG_DIR/xorg.conf" "$next" ||
            die "restart hook failed: $CADENZO_RIG_RESTART_HOOK"
    fi
    [[ -s $next ]] && conf=$next
    if [[ ! -r $RIG_DIR/xorg.pid ]]; then
        [[ -s $next ]] && say "the X display is not the rig's own; its modes stay as they are"
    elif ! cmp -s "$conf" "$RIG_DIR/xorg.conf"; then
        restart_x "$conf"
    fi
    start_in_stored_mode
    hold_runonce
    boot_wine
    note_boot_mode
    seed rebuilt
    regcarry load "$carry"
    mark_dark
    write_env
    logon
    trap - EXIT
    say "restarted: driver key $CADENZO_DRIVER_KEY"
}

wait_for_display_release() {
    local tenths=50
    while ! display_free "$1" && (( tenths-- > 0 )); do sleep 0.1; done
}

cmd_status() {
    local xpid wpid
    xpid=$(read_file "$RIG_DIR/xorg.pid")
    wpid=$(read_file "$RIG_DIR/wineserver.pid")
    printf 'rig dir:    %s\n' "$RIG_DIR"
    printf 'X display:  %s\n' "$(read_file "$RIG_DIR/display")"
    printf 'Xorg:       %s\n' "$(alive "$xpid" && echo "pid $xpid" || echo "not the rig's own, or stopped")"
    printf 'wineserver: %s\n' "$(alive "$wpid" && echo "pid $wpid for $PREFIX" || echo stopped)"
    [[ -r $ENV_FILE ]] && cat "$ENV_FILE"
    is_running
}

cmd_screenshot() {
    [[ $# -eq 1 ]] || die "usage: rig.sh screenshot FILE.png"
    load_env
    local out=$1 tmp id info x y i=0 layers=()
    /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick ||
        die "no converter for screenshots: install imagemagick"
    tmp=$(mktemp -d)
    xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$tmp/root.png"
    # Wine's drop-down menus come out black in a capture of the root window; each shown
    # top-level window is laid over it as captured on its own, from the bottom of the stack up.
    for id in $(xwininfo -display "$DISPLAY" -root -children | awk '/^ +0x/ { print $1 }' | tac); do
        # A window may close between the listing and this look at it.
        info=$(xwininfo -display "$DISPLAY" -id "$id" 2>/dev/null) || continue
        grep -q IsViewable <<<"$info" || continue
        x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
        y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
        xwd -id "$id" -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$tmp/$i.png" || continue
        layers+=("$tmp/$i.png" -geometry "+$x+$y" -composite)
        i=$((i + 1))
    done
    /usr/bin/convert "$tmp/root.png" "${layers[@]}" "png:$out"
    rm -rf "$tmp"
}

cmd_run() {
    [[ $# -ge 1 ]] || die "usage: rig.sh run PROGRAM.exe [ARGS...]"
    load_env
    exec wine "$@"
}

main() {
    local cmd=${1:-}
    shift || true
    case $cmd in
        start) cmd_start ;;
        stop) cmd_stop ;;
        restart) cmd_restart ;;
        status) cmd_status ;;
        screenshot) cmd_screenshot "$@" ;;
        run) cmd_run "$@" ;;
        seed) load_env; seed ;;
        driver-save) [[ $# -eq 1 ]] || die "usage: rig.sh driver-save FILE"; load_env; regcarry save "$(realpath -m "$1")" ;;
        driver-load) [[ $# -eq 1 ]] || die "usage: rig.sh driver-load FILE"; load_env; seed rebuilt; regcarry load "$(realpath -m "$1")" ;;
        *) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "${BASH_SOURCE[0]}" >&2; exit 64 ;;
    esac
}

main "$@"
