#!/usr/bin/env bash
# Checks the Wine test rig end to end: checks the simulated driver's rules on
# their own, starts the rig in a scratch directory, looks at what Wine reports
# and what the registry holds, restarts with and without refused rates, stops,
# and makes sure nothing is left running. Ends with "N passed, M failed".
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RIG=$HERE/rig.sh
export PATH="$HERE/bin:$PATH"
OWN_DIR=
if [[ -z ${CADENZO_RIG_DIR:-} ]]; then
    OWN_DIR=$(mktemp -d /tmp/cadenzo-rig-selftest.XXXXXX)
    export CADENZO_RIG_DIR=$OWN_DIR
fi
RIG_DIR=$CADENZO_RIG_DIR
WORK=$(mktemp -d /tmp/cadenzo-rig-selftest-work.XXXXXX)
passed=0
failed=0

check() {
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok - $name"
    else
        failed=$((failed + 1))
        echo "FAIL - $name"
        return 1
    fi
}

# Seconds since $1 (an EPOCHREALTIME), with one decimal.
elapsed() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }

finish() {
    "$RIG" stop >/dev/null 2>&1
    rm -rf "$WORK"
    [[ -n $OWN_DIR ]] && rm -rf "$OWN_DIR"
    echo "$passed passed, $failed failed"
    (( failed == 0 ))
}
trap 'finish; exit $?' EXIT

wine_q() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The 16 modes the X configuration offers, as Wine should report them.
EXPECTED_MODES="640x480@60 640x480@72 640x480@75 640x480@85
800x600@56 800x600@60 800x600@72 800x600@75 800x600@85
1024x768@60 1024x768@70 1024x768@75 1024x768@85
1280x1024@60 1280x1024@75 1280x1024@85"

sorted_words() { tr -s ' ' '\n' | sed '/^$/d' | sort; }

# Modes of one colour depth from "displayinfo modes" output, as WxH@Hz.
modes_at_depth() {
    awk -F'\t' -v bpp="bpp=$2" '$1 == "mode" && $4 == bpp { sub(/hz=/, "", $5); print $3 "@" $5 }' "$1"
}

# --- the simulated driver's rules (no X, no Wine) ---------------------------

DRIVER=$HERE/simulated-driver.py
CONF=$HERE/xorg-dummy.conf

# Runs the simulated driver on a driver key whose "DALRestrictedModesBCD" has
# registry type $1 and the hex data $2, into $WORK/next.conf.
derive() {
    printf 'regcarry 1\nkey\t\nvalue\t%s\t%s\tDALRestrictedModesBCD\n' "$1" "$2" >"$WORK/carry"
    /usr/bin/python3 "$DRIVER" "$WORK/carry" "$CONF" "$WORK/next.conf" 2>/dev/null
}
# The offered modes left in $WORK/next.conf as WxH@Hz, sorted, and its start mode.
left_modes() { awk '$1 == "Modeline" && $2 ~ /_/ { gsub(/"/, "", $2); sub(/_/, "@", $2); print $2 }' "$WORK/next.conf" | sort; }
start_mode() { awk '$1 == "Modes" { gsub(/"/, "", $2); sub(/_/, "@", $2); print $2 }' "$WORK/next.conf"; }
# The modes the committed configuration offers without those given.
expected_without() {
    local mode out
    out=$(sorted_words <<<"$EXPECTED_MODES")
    for mode; do out=$(grep -vxF "$mode" <<<"$out"); done
    printf '%s\n' "$out"
}
derives() { # TYPE HEX START_MODE REFUSED_MODE...
    derive "$1" "$2" && [[ $(left_modes) == "$(expected_without "${@:4}")" && $(start_mode) == "$3" ]]
}

refusing_nothing_keeps_the_config() {
    local list
    # Empty; the demo's rates X does not offer; a size with rate 0; 16 bpp disabled.
    for list in "" 10240768000000431280102400000043 1024076800000000 0000000000160000; do
        derive 3 "$list" && cmp -s "$CONF" "$WORK/next.conf" || return 1
    done
    # Only REG_BINARY counts: the same records as REG_NONE refuse nothing.
    derive 0 1024076800000060 && cmp -s "$CONF" "$WORK/next.conf" || return 1
    # Only the driver key's own value counts, not one of that name in a subkey.
    printf 'regcarry 1\nkey\t\nkey\tddhal\nvalue\t3\t1024076800000060\tDALRestrictedModesBCD\n' >"$WORK/carry"
    /usr/bin/python3 "$DRIVER" "$WORK/carry" "$CONF" "$WORK/next.conf" 2>/dev/null && cmp -s "$CONF" "$WORK/next.conf"
}
check "a list that refuses no offered rate leaves the X configuration byte for byte" \
    refusing_nothing_keeps_the_config

records_refuse_their_rates() {
    derives 3 1024076800000060 1024x768@70 1024x768@60 &&
        derives 3 0000000000000075 1024x768@60 640x480@75 800x600@75 1024x768@75 1280x1024@75 &&
        derives 3 0640000000000060 1024x768@60 640x480@60 &&
        derives 3 0000076800320085 1024x768@60 1024x768@85 &&
        derives 3 1024076800000060102407680000007010240768000000751280102400000043 1024x768@85 \
            1024x768@60 1024x768@70 1024x768@75
}
check "each record refuses its rate of its size (0 = any size); the start moves to the lowest rate left" \
    records_refuse_their_rates

sizes_and_screen_never_empty() {
    # Every rate of 1024x768: the size is gone, X starts at the first mode left.
    derives 3 1024076800000060102407680000007010240768000000751024076800000085 640x480@60 \
        1024x768@60 1024x768@70 1024x768@75 1024x768@85 || return 1
    # Every rate of every size: the start mode stays.
    local rate list=
    for rate in 56 60 70 72 75 85; do list+=00000000000000$rate; done
    derive 3 "$list" && [[ $(left_modes) == 1024x768@60 && $(start_mode) == 1024x768@60 ]]
}
check "a size loses all its rates when all are refused, but X keeps its start mode when every mode is" \
    sizes_and_screen_never_empty

malformed_records_ignored() {
    # 70 Hz written with a nibble that is no digit (0x6A, "6" and ten), and a last record cut short.
    derives 3 102407680000006a1024076800000060102407 1024x768@70 1024x768@60
}
check "records that are not BCD or not whole refuse nothing" malformed_records_ignored

# --- start ------------------------------------------------------------------

prefix_was_new=0
[[ -e ${CADENZO_WINEPREFIX:-$RIG_DIR/prefix} ]] || prefix_was_new=1
rig_started() {
    local t0=$EPOCHREALTIME
    "$RIG" start >"$WORK/start.out" 2>"$WORK/start.err" && [[ -r $RIG_DIR/rig.env ]] || return 1
    echo "# start took $(elapsed "$t0") s"
}
check "start brings up X and Wine" rig_started || { cat "$WORK/start.err"; exit 1; }
# shellcheck source=/dev/null
source "$RIG_DIR/rig.env"
TOOL=${CADENZO_RIG_BIN:?}/displayinfo.exe

# With a cache the prefix is a copy of the template: writing to a file it shares with the
# template would change every later rig's Windows.
from_template() {
    local prefix=$WINEPREFIX template=${CADENZO_RIG_CACHE:-}/prefix
    [[ $(stat -c %i "$prefix/drive_c/windows/system32/user32.dll") == \
        "$(stat -c %i "$template/drive_c/windows/system32/user32.dll")" ]] || return 1
    [[ -z $(find "$prefix" -type f -links +1 \( -name '*.reg' -o -name '*.ini' -o -name '*.inf' \)) ]]
}
if [[ -n ${CADENZO_RIG_CACHE:-} && $prefix_was_new == 1 ]]; then
    check "the prefix shares the template's DLLs, but its registry and settings are its own" \
        from_template
fi

# xrandr and Wine offer the configured modes without those given (WxH@Hz).
# shellcheck disable=SC2120 # the arguments come through check
xrandr_offers() {
    local got
    got=$(xrandr -q | awk '/^ +[0-9]+x[0-9]+_[0-9]+ / { split($1, a, "_"); print a[1] "@" a[2] }' | sort)
    [[ $got == "$(expected_without "$@")" ]]
}
# shellcheck disable=SC2120
wine_offers() {
    local depth
    wine_q "$TOOL" modes >"$WORK/modes"
    for depth in 32 16 8; do
        [[ $(modes_at_depth "$WORK/modes" $depth | sort) == "$(expected_without "$@")" ]] || return 1
    done
}
# Wine's mode in force is $1 at 32 bpp.
wine_current_is() {
    [[ $(wine_q "$TOOL" current) == $'current\t-1\t'"${1%@*}"$'\tbpp=32\thz='"${1#*@}"$'\t'* ]]
}

check "xrandr offers exactly the configured modes" xrandr_offers
check "EnumDisplaySettingsExA reports every resolution and rate at 32, 16 and 8 bpp" wine_offers
wine_q "$TOOL" modes raw >"$WORK/modes.raw"

raw_same_as_pruned() { cmp -s "$WORK/modes" "$WORK/modes.raw"; }
check "EDS_RAWMODE reports the same modes" raw_same_as_pruned

# The program takes only the first run of non-decreasing widths: all sizes
# must come before the first width that goes down.
first_run_holds_all_sizes() {
    local sizes
    sizes=$(awk -F'\t' '$1 == "mode" { split($3, s, "x"); if (s[1] + 0 < last) exit; last = s[1] + 0; print $3 }' \
        "$WORK/modes" | sort -u)
    [[ $sizes == "$(printf '%s\n' 1024x768 1280x1024 640x480 800x600)" ]]
}
check "the first non-decreasing run of widths holds every resolution" first_run_holds_all_sizes

check "the start mode is 1024x768 at 60 Hz" wine_current_is 1024x768@60

device_key_matches_env() {
    local line
    line=$(wine_q "$TOOL" devices | awk -F'\t' '$1 == "adapter" && $2 == 0')
    [[ $line == *$'\tkey='"$CADENZO_DEVICE_KEY"$'\t'* && $line == *$'\tflags=0x00000005\t'* &&
        $CADENZO_DRIVER_KEY == 'System\CurrentControlSet\Control\Video\{'*'}\0000' ]]
}
check "adapter 0 is the primary desktop device and its key is in rig.env" device_key_matches_env

# --- the seeded profile -----------------------------------------------------

save_driver() { "$RIG" driver-save "$1" 2>/dev/null; }
has_value() { grep -qxF "$(printf 'value\t%s\t%s\t%s' "$2" "$3" "$4")" "$1"; }

save_driver "$WORK/seeded.txt"
driver_key_is_seeded() {
    has_value "$WORK/seeded.txt" 3 10240768000000431280102400000043 DALRestrictedModesBCD &&
        has_value "$WORK/seeded.txt" 4 01000000 PruningMode &&
        has_value "$WORK/seeded.txt" 3 "" DALRestrictedModesBCD1 &&
        grep -qxF "$(printf 'key\tddhal')" "$WORK/seeded.txt" &&
        has_value "$WORK/seeded.txt" 1 310036000000 AnisoDegree
}
check "the driver key holds the demo profile" driver_key_is_seeded

# The data of one value as reg.exe prints it ("    NAME    REG_xx    DATA").
reg_value() {
    wine_q reg query "$1" /v "$2" |
        awk -v n="    $2    " 'index($0, n) == 1 { s = substr($0, length(n) + 1); sub(/^REG_[A-Z_]+    /, "", s); print s }'
}

identity_is_seeded() {
    local hw
    local id='PCI\VEN_1002&DEV_4E44&SUBSYS_00021002&REV_00'
    [[ $(reg_value 'HKLM\SYSTEM\CurrentControlSet\Services\ati2mtag\Enum' 0) == "$id\\"* ]] || return 1
    hw=$(reg_value 'HKLM\SOFTWARE\ATI Technologies\CDS\0000\0\Driver' 'Hardware RegKey')
    [[ -n $hw && $(reg_value "HKLM\\$hw" Driver) == '{4D36E968-E325-11CE-BFC1-08002BE10318}\0000' ]]
}
check "the service's device id and the hardware key are seeded" identity_is_seeded

# --- display mode changes ---------------------------------------------------

rate_only_change_refused() { [[ $(wine_q "$TOOL" setrate 75) == *$'\tDISP_CHANGE_BADMODE' ]]; }
check "a frequency-only ChangeDisplaySettingsA is refused" rate_only_change_refused

full_change_switches_x() {
    [[ $(wine_q "$TOOL" set 1024 768 75) == *$'\tDISP_CHANGE_SUCCESSFUL' &&
        $(xrandr -q) == *$'\n   1024x768_75   75.03*'* ]]
}
check "a full ChangeDisplaySettingsA record switches the X mode" full_change_switches_x
wine_q "$TOOL" set 1024 768 60 >/dev/null

# Wine rebuilds its display keys after a mode change; driver-load puts the
# driver values and the hardware key back.
driver_load_restores() {
    "$RIG" driver-load "$WORK/seeded.txt" 2>/dev/null || return 1
    save_driver "$WORK/reloaded.txt" && has_value "$WORK/reloaded.txt" 4 01000000 PruningMode &&
        identity_is_seeded
}
check "driver-load puts the driver values back after a mode change" driver_load_restores

# --- restart ----------------------------------------------------------------

# The demo's list, and one that refuses 1024x768 at 60, 70 and 75 Hz as the
# program writes it for 85 Hz, plus a rate X does not offer and 16 bpp disabled.
DEMO_LIST=10240768000000431280102400000043
REFUSING_LIST=10240768000000601024076800000070102407680000007512801024000000430000000000160000
REFUSED=(1024x768@60 1024x768@70 1024x768@75)
load_list() {
    printf 'regcarry 1\nkey\t\nvalue\t3\t%s\tDALRestrictedModesBCD\n' "$1" >"$WORK/list.txt"
    "$RIG" driver-load "$WORK/list.txt" 2>/dev/null
}

# An unterminated string "128", a changed switch and the refusing list, as the
# program writes them; a RunOnce entry that records what a program sees at logon.
printf 'regcarry 1\nkey\t\nvalue\t4\t00000000\tPruningMode\nvalue\t3\t%s\tDALRestrictedModesBCD\nkey\tddhal\nvalue\t1\t310032003800\tAnisoDegree\n' \
    "$REFUSING_LIST" >"$WORK/change.txt"
"$RIG" driver-load "$WORK/change.txt" 2>/dev/null
logon_file=$WORK/atlogon.txt
wine_q reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v 'Rig selftest' /f \
    /d "$(printf '%s save @driver Z:%s' "Z:${CADENZO_RIG_BIN//\//\\}\\regcarry.exe" "${logon_file//\//\\}")" >/dev/null

restarted() {
    local t0=$EPOCHREALTIME
    "$RIG" restart >"$WORK/restart.out" 2>&1 || return 1
    echo "# restart took $(elapsed "$t0") s"
    # shellcheck source=/dev/null
    source "$RIG_DIR/rig.env"
}
check "restart succeeds" restarted || cat "$WORK/restart.out"

values_survive_restart() {
    save_driver "$WORK/after.txt" &&
        has_value "$WORK/after.txt" 4 00000000 PruningMode &&
        has_value "$WORK/after.txt" 1 310032003800 AnisoDegree &&
        has_value "$WORK/after.txt" 3 "$REFUSING_LIST" DALRestrictedModesBCD
}
check "driver values survive the restart byte for byte" values_survive_restart

logon_saw_the_driver_values() {
    [[ -s $logon_file ]] &&
        has_value "$logon_file" 4 00000000 PruningMode &&
        has_value "$logon_file" 3 "$REFUSING_LIST" DALRestrictedModesBCD
}
runonce_runs_after_the_key_is_back() {
    # The entry runs on its own after the logon; give it time on a slow machine.
    local tenths=200
    until logon_saw_the_driver_values || (( tenths-- <= 0 )); do sleep 0.1; done
    logon_saw_the_driver_values &&
        [[ $(wine_q reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce') != *'Rig selftest'* ]] ||
        { echo "# what the logon entry saw:"; sed 's/^/#   /' "$logon_file" 2>/dev/null | head -20; return 1; }
}
check "RunOnce runs once, after the driver key is back" runonce_runs_after_the_key_is_back

hardware_key_back() { identity_is_seeded; }
check "the hardware key Wine drops at boot is back after the restart" hardware_key_back

check "rig.env names the driver key Wine reports after the restart" device_key_matches_env

# --- the simulated driver at restart ----------------------------------------

check "after the restart xrandr offers 1024x768 only at 85 Hz, the other modes as before" \
    xrandr_offers "${REFUSED[@]}"
check "EnumDisplaySettingsExA reports 1024x768 only at 85 Hz, the other modes as before" \
    wine_offers "${REFUSED[@]}"
check "the screen starts at 1024x768 at 85 Hz, the lowest rate left" wine_current_is 1024x768@85

# --- the stored mode at restart ----------------------------------------------

# ChangeDisplaySettingsA with CDS_UPDATEREGISTRY: the mode the next start comes up in. (The mode
# change empties Wine's driver key, so each list is loaded after it.)
stores() { [[ $(wine_q "$TOOL" set "$@" store) == *$'\tDISP_CHANGE_SUCCESSFUL' ]]; }
# What EnumDisplaySettings(ENUM_REGISTRY_SETTINGS) and xrandr say: $1 (WxH@Hz) both.
started_in() {
    [[ $(wine_q "$TOOL" registry) == $'registry\t-2\t'"${1%@*}"$'\tbpp=32\thz='"${1#*@}"$'\t'* &&
        $(xrandr -q | awk '$2 ~ /\*/ { print $1; exit }') == "${1/@/_}" ]] && wine_current_is "$1"
}
check "CDS_UPDATEREGISTRY stores 800x600 at 75 Hz" stores 800 600 75
load_list "$DEMO_LIST"
check "a restart with a list that no longer refuses them succeeds" restarted
check "xrandr offers 1024x768 at 60, 70 and 75 Hz again" xrandr_offers
check "EnumDisplaySettingsExA reports 1024x768 at 60, 70 and 75 Hz again" wine_offers
check "X comes up in the stored mode, 800x600 at 75 Hz, and ENUM_REGISTRY_SETTINGS reports it" \
    started_in 800x600@75

stores 1024 768 70
load_list 1024076800000070
check "a restart whose driver refuses the stored 1024x768 at 70 Hz succeeds" restarted
check "X falls back to the configured mode, 1024x768 at 60 Hz (which Wine then stores)" \
    started_in 1024x768@60

load_list "$REFUSING_LIST"
driver_off_restart() { CADENZO_RIG_SIMULATED_DRIVER=0 restarted; }
check "a restart with the simulated driver off succeeds" driver_off_restart
off_keeps_modes() {
    save_driver "$WORK/off.txt" && has_value "$WORK/off.txt" 3 "$REFUSING_LIST" DALRestrictedModesBCD &&
        xrandr_offers && wine_offers
}
check "with the simulated driver off the refused rates stay offered" off_keeps_modes

# --- screenshot -------------------------------------------------------------

screenshot_is_png() {
    "$RIG" screenshot "$WORK/shot.png" 2>/dev/null &&
        [[ $(head -c 8 "$WORK/shot.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]]
}
check "screenshot writes a PNG" screenshot_is_png

# --- stop, and a second cycle -----------------------------------------------

# Processes of this rig: its Xorg (PID $1) and anything running in its Wine prefix. By PID, not
# by display: once this rig has stopped, another one running beside it may take the number.
rig_processes() {
    local pid state env xorg=$1
    for pid in /proc/[0-9]*; do
        pid=${pid#/proc/}
        state=$(sed 's/.*) //; s/ .*//' "/proc/$pid/stat" 2>/dev/null) || continue
        [[ $state == Z ]] && continue
        env=$(tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ") || continue
        if [[ $'\n'$env$'\n' == *$'\nWINEPREFIX='"$WINEPREFIX"$'\n'* || $pid == "$xorg" ]]; then
            echo "$pid"
        fi
    done
}

# The display's lock file would still name the server when it had not cleaned up.
stopped_clean() {
    local xorg
    xorg=$(cat "$RIG_DIR/xorg.pid" 2>/dev/null)
    "$RIG" stop 2>/dev/null || return 1
    [[ -z $(rig_processes "$xorg") && ! -e $RIG_DIR/rig.env ]] || return 1
    [[ -z $xorg || $(tr -d ' \n' 2>/dev/null </tmp/.X"${DISPLAY#:}"-lock) != "$xorg" ]]
}
check "stop leaves no process of the rig" stopped_clean
check "stop again does nothing and succeeds" "$RIG" stop

second_cycle() {
    local t0=$EPOCHREALTIME
    "$RIG" start >/dev/null 2>&1 || return 1
    echo "# start on the existing prefix took $(elapsed "$t0") s"
    # shellcheck source=/dev/null
    source "$RIG_DIR/rig.env"
    stopped_clean
}
check "a second start and stop on the same prefix leaves nothing running" second_cycle
