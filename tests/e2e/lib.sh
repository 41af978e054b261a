# Shared steps of the end-to-end cases: a rig of their own, Cadenzo.exe installed in a
# Windows directory of the prefix, and the test driver. Source it; then call e2e_start.
#
#   $1 of the case: the win64 (or win32) build directory; $2: a work directory for this case.

set -euo pipefail

e2e_build=$(realpath "${1:?win64 or win32 build directory}")
e2e_work=${2:?work directory}
mkdir -p "$e2e_work"
e2e_work=$(realpath "$e2e_work")
# Wine takes the ANSI code page and the charset of a command line from the locale: this one
# gives code page 1252 and passes the driver's UTF-8 arguments through.
export LC_ALL=C.UTF-8
e2e_rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/../rig" && pwd)/rig.sh"
export PATH="${e2e_rig%/rig.sh}/bin:$PATH"
e2e_passed=0
e2e_failed=0
export CADENZO_RIG_DIR="$e2e_work/rig"

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
  e2e_stop
  if ((status == 0)); then rm -rf "$CADENZO_RIG_DIR/prefix"; fi
}

# Starts the rig on a new Wine prefix and installs Cadenzo.exe into C:\Cadenzo of it. A case
# run again must not find the files, settings or RunOnce entries its last run left.
e2e_start() {
  e2e_stop
  rm -rf "$CADENZO_RIG_DIR"
  trap e2e_end EXIT
  "$e2e_rig" start >"$e2e_work/rig-start.log" 2>&1 || {
    cat "$e2e_work/rig-start.log" >&2
    exit 1
  }
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
  # E2E_INSTALL: the install directory under C:\, "Cadenzo" unless a case says otherwise.
  e2e_install="$WINEPREFIX/drive_c/${E2E_INSTALL:-Cadenzo}"
  # Cadenzo has run on this machine before, so no first run is due; a case about the first
  # run deletes the value again.
  wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v Version /t REG_SZ /d "0.98 beta" /f \
    >/dev/null 2>&1
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

# Starts another Windows program of the build ($1, e.g. cadenzo_uidemo.exe, with the
# arguments after it) from the work directory in the background; $e2e_program is its PID.
e2e_launch_built() {
  local exe=$1
  shift
  (cd "$e2e_work" && exec wine "$e2e_build/$exe" "$@") >"$e2e_work/${exe%.exe}.log" 2>&1 &
  e2e_program=$!
}

# Runs the test driver with the given command; its output goes to stdout.
e2e_driver() {
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

e2e_finish() {
  echo "$e2e_passed passed, $e2e_failed failed"
  ((e2e_failed == 0))
}

# Prints the data of registry value $2 under HKEY_LOCAL_MACHINE\$1 as `reg query` shows it
# (binary values as hex digits); nothing when it does not exist.
e2e_reg() {
  wine reg query "HKLM\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
    NAME=$2 perl -ne 'if (/^\s+\Q$ENV{NAME}\E\s+REG_\w+\s*(.*)$/) { print "$1\n"; exit }'
}

# Prints a registry editor's export ($1, UTF-16 as Wine's regedit writes it) as UTF-8 lines.
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
