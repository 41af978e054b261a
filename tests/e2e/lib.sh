# Shared steps of the end-to-end cases: a rig of their own, Cadenzo.exe installed in a
# Windows directory of the prefix, and the test driver. Source it; then call e2e_start.
#
#   $1 of the case: the win64 (or win32) build directory; $2: a work directory for this case.

set -Eeuo pipefail

# A command that fails outside a check (set -e) ends the case; so that no case ends without a line
# that says why, this names the command, its status and where it was called from. Inside a
# condition or a command substitution a failure ends nothing (there -e is off) and says nothing.
e2e_died() {
  local status=$1 command=$2 where="" i
  # Background jobs and subshells: their end is the caller's to judge.
  [[ $- == *e* && $BASHPID == "$$" ]] || return 0
  for ((i = 1; i < ${#FUNCNAME[@]}; i++)); do
    where+="${where:+, called from }${BASH_SOURCE[i]##*/}:${BASH_LINENO[i - 1]}"
    [[ ${FUNCNAME[i]} == main ]] || where+=" (${FUNCNAME[i]})"
  done
  echo "FAILED: '$command' exited with status $status at $where; the case ends there"
}
trap 'e2e_died $? "$BASH_COMMAND"' ERR

e2e_build=$(realpath "${1:?win64 or win32 build directory}")
e2e_work=${2:?work directory}
mkdir -p "$e2e_work"
e2e_work=$(realpath "$e2e_work")
# One run of a case per work directory: a second one (another CTest run in the same build) would
# stop the first one's rig and delete its prefix under it.
exec 8>"$e2e_work/.running"
if ! flock -n 8; then
  echo "FAILED: another run of this case is using $e2e_work"
  exit 1
fi
# Wine takes the ANSI code page and the charset of a command line from the locale: this one
# gives code page 1252 and passes the driver's UTF-8 arguments through.
export LC_ALL=C.UTF-8
e2e_rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/../rig" && pwd)/rig.sh"
export PATH="${e2e_rig%/rig.sh}/bin:$PATH"
e2e_passed=0
e2e_failed=0
export CADENZO_RIG_DIR="$e2e_work/rig"

# CTest kills a case that outlives its TIMEOUT (600 s, tests/e2e/CMakeLists.txt) without a word,
# and the rig's X server and wineserver, in sessions of their own, would stay. A case still
# running after E2E_TIME_LIMIT seconds says what it was waiting for and is ended by TERM, so that
# its EXIT trap (e2e_end) stops the rig.
e2e_watch_time() {
  local limit=${E2E_TIME_LIMIT:-570} case_pid=$$
  (
    trap - ERR
    exec 8>&-
    # Away from the case's output, which CTest reads until every holder has closed it.
    sleep "$limit" >/dev/null 2>&1
    # The case's processes below it, but for this watchdog.
    local tree=() todo=("$case_pid") pid child
    while ((${#todo[@]})); do
      pid=${todo[0]}
      todo=("${todo[@]:1}")
      for child in $(ps -o pid= --ppid "$pid"); do
        ((child == BASHPID)) && continue
        tree+=("$child")
        todo+=("$child")
      done
    done
    echo "FAILED: the case still runs after $limit s, waiting for: $(ps -o args= -p "${tree[*]:-0}" |
      grep -v '^bash ' | tr '\n' ';')"
    # The case's TERM trap runs once the command it waits for has ended.
    kill -TERM "$case_pid" "${tree[@]}" 2>/dev/null || true
  ) 2>/dev/null &
  e2e_watchdog=$!
  # Ended by e2e_end without a word from the shell about it.
  disown "$e2e_watchdog"
}
trap 'exit 143' TERM
e2e_watch_time
trap e2e_end EXIT

# What the cases install and run; the driver hooks its DLL into the program for some commands.
for file in Cadenzo.exe ati.pci English.lng Russian.lng cadenzo_e2e_driver.exe cadenzo_e2e_hook.dll; do
  if [ ! -f "$e2e_build/$file" ]; then
    echo "missing $e2e_build/$file: build its preset first" >&2
    exit 1
  fi
done

e2e_stop() {
  "$e2e_rig" stop >/dev/null 2>&1 || true
}

# At the end of a case: stops the rig, and a case that passed removes its Wine prefix (about
# 1.3 GB with 32-bit Wine installed; a dozen cases would fill the disk). The logs stay, and a
# failed case keeps its prefix for a look at the registry.
e2e_end() {
  local status=$?
  pkill -P "$e2e_watchdog" 2>/dev/null || true
  kill "$e2e_watchdog" 2>/dev/null || true
  e2e_stop
  # The prefix the rig ran on: a case may have given the rig of a second start the first one's.
  if ((status == 0)); then rm -rf "${CADENZO_WINEPREFIX:-$CADENZO_RIG_DIR/prefix}"; fi
}

# Starts the rig on a new Wine prefix on which Cadenzo has run before. A case run again must
# not find the files, settings or RunOnce entries its last run left.
e2e_start_rig() {
  e2e_stop
  rm -rf "$CADENZO_RIG_DIR"
  trap e2e_end EXIT
  "$e2e_rig" start >"$e2e_work/rig-start.log" 2>&1 || {
    cat "$e2e_work/rig-start.log" >&2
    exit 1
  }
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
  # Cadenzo has run on this machine before, so no first run is due; a case about the first
  # run deletes the value again.
  wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v Version /t REG_SZ /d "0.98 beta" /f \
    >/dev/null 2>&1
}

# Starts the rig (e2e_start_rig) and installs Cadenzo.exe into C:\Cadenzo of its prefix.
e2e_start() {
  e2e_start_rig
  # E2E_INSTALL: the install directory under C:\, "Cadenzo" unless a case says otherwise.
  e2e_install="$WINEPREFIX/drive_c/${E2E_INSTALL:-Cadenzo}"
  mkdir -p "$e2e_install"
  # Cadenzo does not start without its card database beside it; the build made it.
  cp "$e2e_build/Cadenzo.exe" "$e2e_build/ati.pci" "$e2e_install/"
  # The language files we ship lie beside it too.
  cp "$e2e_build/English.lng" "$e2e_build/Russian.lng" "$e2e_install/"
}

# Starts Cadenzo.exe from its install directory in the background; $e2e_program is its PID.
e2e_launch() {
  (cd "$e2e_install" && exec wine Cadenzo.exe "$@") >"$e2e_work/cadenzo.log" 2>&1 &
  e2e_program=$!
}

# Starts Cadenzo.exe from its install directory with the current directory $1 (a Linux path
# in the prefix) in the background; $e2e_program is its PID. The install directory is stored
# first, as a start from there would have: from elsewhere the program finds ati.pci through it.
e2e_launch_from() {
  local dir=$1
  shift
  wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v InstallDir /t REG_SZ \
    /d "C:\\${E2E_INSTALL:-Cadenzo}" /f >/dev/null 2>&1
  (cd "$dir" && exec wine "$e2e_install/Cadenzo.exe" "$@") >"$e2e_work/cadenzo.log" 2>&1 &
  e2e_program=$!
}

# Prints the seconds since the epoch, to the millisecond.
e2e_now() { date +%s.%N | cut -c1-14; }

# Waits up to $1 seconds for the command after it to succeed, trying every 50 ms; true when it
# did.
e2e_wait_for() {
  local limit=$1 start=$SECONDS
  shift
  until "$@"; do
    ((SECONDS - start < limit)) || return 1
    sleep 0.05
  done
}

# Starts another Windows program of the build ($1, e.g. cadenzo_uidemo.exe, with the
# arguments after it) from the work directory in the background; $e2e_program is its PID.
e2e_launch_built() {
  local exe=$1
  shift
  (cd "$e2e_work" && exec wine "$e2e_build/$exe" "$@") >"$e2e_work/${exe%.exe}.log" 2>&1 &
  e2e_program=$!
}

# Runs the test driver with the given command; its output goes to stdout. While the rig's
# monitor is dark (tests/rig/README.md) nobody sees what to click or type: the commands of a
# person's hand fail, and only looking (waiting, reading windows and values) works.
e2e_driver() {
  case $1 in
    close | click | menu-click | set-text | set-edit | click-line | double-click-line | answer | \
      choose-file | open-menu | hover | key | pick | matrix)
      if [ -e "$CADENZO_RIG_DIR/dark" ]; then
        echo "the screen is dark: nobody can $1" >&2
        return 1
      fi
      ;;
  esac
  wine "$e2e_build/cadenzo_e2e_driver.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'
}

# Waits up to $2 seconds for process $1 to end; true when it ended.
e2e_wait_exit() {
  local pid=$1 limit=$2 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if ((waited >= limit * 10)); then return 1; fi
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$pid" 2>/dev/null || true
}

e2e_check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
    e2e_passed=$((e2e_passed + 1))
  else
    echo "FAILED: $what"
    e2e_failed=$((e2e_failed + 1))
  fi
}

# The last command of a case: its summary, and its exit status.
e2e_finish() {
  echo "$e2e_passed passed, $e2e_failed failed"
  ((e2e_failed == 0)) || exit 1
}

# Prints the data of registry value $2 under HKEY_LOCAL_MACHINE\$1 as `reg query` shows it
# (binary values as hex digits); nothing when it does not exist.
e2e_reg() {
  wine reg query "HKLM\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
    NAME=$2 perl -ne 'if (/^\s+\Q$ENV{NAME}\E\s+REG_\w+\s*(.*)$/) { print "$1\n"; exit }'
}

# Prints the bytes of string value text $1 with its terminator as the wide registry calls read
# them (UTF-16LE), in the upper-case hex digits `e2e_driver wait-value` compares.
e2e_string_hex() {
  printf '%s\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F
}

# Whether text $1 holds every line after it, each as a fixed string.
e2e_has_lines() {
  local text=$1 line
  shift
  for line; do grep -qF -- "$line" <<<"$text" || return 1; done
}

e2e_export_text() {
  iconv -f UTF-16LE -t UTF-8 "$1" 2>/dev/null | tr -d '\r'
}

# Runs a driver command in the background (one that waits for the program, while the test
# answers what the program asks); e2e_join waits for it. A bare `wait` would wait for the
# program under test too.
e2e_driver_bg() {
  e2e_driver "$@" >>"$e2e_work/driver.log" &
  e2e_bg=$!
}
e2e_join() {
  wait "$e2e_bg" 2>/dev/null || true
}

# Chooses menu entry $2 ("Top|Entry") of main window $1 and waits for the window titled $3;
# e2e_field then reads that window's frame.
e2e_open_dialog() {
  e2e_driver menu-click "$1" "$2" >/dev/null || true
  e2e_driver wait "$3" 10000 >/dev/null || true
  e2e_frame=$(e2e_driver frame "$3" || true)
}

# Field $1 of the frame read last (e2e_open_dialog, or e2e_frame=$(e2e_driver frame TITLE)).
e2e_field() {
  awk -F'\t' -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print }' <<<"$e2e_frame"
}

# Type and bytes of the driver key's own values exactly as stored, one "name TAB type:hex" a
# line ("3:" is REG_BINARY of 0 bytes).
e2e_driver_values() {
  "$e2e_rig" driver-save "$e2e_work/driver.txt" >/dev/null 2>&1
  awk -F'\t' '$1 == "key" { top = $2 == "" } top && $1 == "value" { print $4 "\t" $2 ":" $3 }' \
    "$e2e_work/driver.txt"
}

e2e_title="Cadenzo 0.98 beta"

# The change history in the install directory, without its CRs.
e2e_history() { tr -d '\r' <"$e2e_install/history.log" 2>/dev/null; }
# Its events without their times, one a line.
e2e_history_events() { e2e_history | cut -d' ' -f2-; }
# Whether it has lines, each starting with a local time and this machine's offset from UTC.
e2e_history_timed() {
  local zone text
  zone=$(date +%:z)
  text=$(e2e_history)
  [ -n "$text" ] && ! grep -qvP "^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\Q$zone\E " <<<"$text"
}
# WINEDEBUG for a start whose Event Log entries are read: Wine writes each entry to the
# program's output, Information as "trace", Warning as "warn", Error as "err".
e2e_eventlog=-all,+eventlog
# The entries of the last start (e2e_launch, as WINEDEBUG=$e2e_eventlog e2e_launch), one
# "LEVEL text" a line, in order.
e2e_event_log() {
  sed -n 's/^[0-9a-f]*:\(trace\|warn\|err\):eventlog:ReportEventW L"\(.*\)"\r\?$/\1 \2/p' \
    "$e2e_work/cadenzo.log"
}

# The grid's combo box at top $1 of the main window: its text, its rates and the rest.
e2e_grid_row() {
  e2e_driver controls "$e2e_title" | awk -F'\t' -v top="$1" '$1 == "ComboBox" && $4 == top'
}

# The road of a typical change, from a start of Cadenzo.exe to its end: 1024x768 offers 60, 70,
# 75 and 85 with 60 in force; the user picks 85 and presses OK; the control panel's maximum is
# raised with a warning, lastknowngood.dat is written by the registry editor, the driver's list
# refuses exactly 60, 70 and 75, the check is armed with the program's path $1 (as Windows
# names it) quoted, and the restart question is answered No.
e2e_typical_change() {
  local program=$1 warning question saved warner clicked asked
  e2e_launch
  e2e_driver wait "$e2e_title" 30000 >/dev/null || true
  e2e_check "1024x768 shows 60, 70, 75, 85 with 60 in force" \
    grep -qP '^ComboBox\t60\t.*\t60\|70\|75\|85$' <<<"$(e2e_grid_row 76)"
  e2e_driver set-text "$e2e_title" 3 85 >/dev/null || true
  # The demo driver's control panel allows at most 75 Hz: raised to 85, with a warning first.
  # Its answerer waits from before the click, so that the time from OK to the restart question
  # (printed: the registry editor's export of lastknowngood.dat is most of it) counts no start of
  # a driver after the click but the click's own.
  e2e_driver answer Warning ok 30000 >"$e2e_work/warning.txt" &
  warner=$!
  clicked=$(date +%s%N)
  e2e_driver_bg click "$e2e_title" OK
  question=$(e2e_driver answer "Restart needed" no 30000 || true)
  asked=$(date +%s%N)
  echo "OK to the restart question: $(((asked - clicked) / 1000000)) ms"
  wait "$warner" || true
  warning=$(cat "$e2e_work/warning.txt")
  e2e_join
  e2e_check "the control panel's maximum is corrected with a warning" test "$warning" = \
    "Selected Refresh Rate larger than maximum refresh rate setted up in Control Panel. Control Panel settings will be corrected."
  e2e_check "the restart question is asked" \
    test "$question" = "All changes do not take effect until next boot. Restart?"
  e2e_check "the program ends after the question" e2e_wait_exit "$e2e_program" 20
  saved=$(e2e_export_text "$e2e_install/lastknowngood.dat" || true)
  e2e_check "lastknowngood.dat was written by the registry editor" \
    grep -qiF "[HKEY_LOCAL_MACHINE\\$CADENZO_DRIVER_KEY]" <<<"$saved"
  # Also by the 32-bit build, whose registry editor may be a 32-bit one: the driver key lies
  # under SYSTEM, which both see alike.
  e2e_check "it holds the driver key's values as they were" e2e_has_lines "$saved" \
    '"PruningMode"=dword:00000001' '"DALR6 CRT_Info"=hex:01,00,00,00,00,05,00,04,4b'
  e2e_check "DALRestrictedModesBCD refuses exactly 60, 70 and 75 at 1024x768" \
    test "$(e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD)" = \
    "102407680000006010240768000000701024076800000075"
  e2e_check "the check is armed with the quoted program path" \
    test "$(e2e_reg 'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 'Cadenzo - test resolution')" = \
    "\"$program\" /CHECK"
  e2e_check "the maximum rate is now 85 (byte 8 of the Info value, byte 16 of MaxModeInfo)" \
    test "$(e2e_reg "$CADENZO_DRIVER_KEY" "DALR6 CRT_Info" | cut -c17-18)$(e2e_reg "$CADENZO_DRIVER_KEY" "DALR6 CRT_MaxModeInfo" | cut -c33-34)" = 5555
}

# The simulated restart after the typical change: the display offers 1024x768 at 85 only, and
# Windows runs the armed check, which starts Cadenzo by itself; its window is closed again.
e2e_restart_into_check() {
  local modes checked
  "$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
  modes=$(xrandr --display "$DISPLAY" 2>/dev/null | grep -oE '1024x768_[0-9]+' | sort -u | tr '\n' ' ')
  e2e_check "after the restart the display offers 1024x768 at 85 only" test "$modes" = "1024x768_85 "
  checked=$(e2e_driver wait "$e2e_title" 30000 || true)
  e2e_check "Windows ran the armed check: Cadenzo started by itself" \
    test "$checked" = "window \"$e2e_title\""
  # Until the check is answered, closing the main window only hides it: the program stays to
  # count down. Answered, closing the main window ends it.
  e2e_driver click "Cadenzo - Checking Video Modes..." OK >/dev/null || true
  e2e_driver close "$e2e_title" >/dev/null || true
}

# The target and the working directory of Windows shortcut $1 (a .lnk file), tab-separated:
# the local path of its link information and its working-directory string.
e2e_shortcut() {
  python3 - "$1" <<'PYTHON'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags = struct.unpack_from('<I', data, 20)[0]
pos = 76
if flags & 0x01:  # a target ID list comes first
    pos += 2 + struct.unpack_from('<H', data, pos)[0]
target = ''
if flags & 0x02:  # link information: the local base path is an offset into it
    size, _, _, _, local = struct.unpack_from('<5I', data, pos)
    end = data.index(b'\0', pos + local)
    target = data[pos + local:end].decode('cp1252')
    pos += size
unicode = flags & 0x80
strings = {}
for bit, name in ((0x04, 'name'), (0x08, 'relative'), (0x10, 'workdir'), (0x20, 'arguments'),
                  (0x40, 'icon')):
    if flags & bit:
        count = struct.unpack_from('<H', data, pos)[0]
        size = count * (2 if unicode else 1)
        # Wine's shell counts a terminating NUL in, Windows' does not.
        strings[name] = data[pos + 2:pos + 2 + size].decode(
            'utf-16-le' if unicode else 'cp1252').rstrip('\0')
        pos += 2 + size
print(target + '\t' + strings.get('workdir', ''))
PYTHON
}

# A process Windows started in this rig's prefix, found by its command line (an extended
# regular expression): its PID. One that ended but was not reaped (state Z) counts as gone.
e2e_run_of() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if e2e_running "$pid" &&
      tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}
e2e_running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [[ ${stat:0:1} != Z ]]
}
