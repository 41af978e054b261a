# Shared by the start-up benchmarks; source it from the repository's root with $cadenzo_exe
# (the Cadenzo.exe to time) and $bench (a name for the rig's folder) set. Checks the win64
# build, starts a rig of its own (stopped again when the script ends), installs Cadenzo.exe,
# its card database and the yardsticks into C:\Cadenzo ($install), and marks Cadenzo as having
# run there before: no first run, and its settings key exists.
root=$PWD
build=$root/build/win64
for file in "$cadenzo_exe" "$build/ati.pci" "$build/EmptyWindow.exe" "$build/StartupTimer.exe"; do
  [ -f "$file" ] || { echo "missing $file: build the win64 preset first" >&2; exit 1; }
done
export CADENZO_RIG_DIR=$root/build/bench-$bench/rig
rig=tests/rig/rig.sh
trap '"$rig" stop >/dev/null 2>&1 || true' EXIT
"$rig" start >/dev/null
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"
install=$WINEPREFIX/drive_c/Cadenzo
mkdir -p "$install"
cp "$cadenzo_exe" "$install/Cadenzo.exe"
cp "$build/ati.pci" "$build/EmptyWindow.exe" "$build/StartupTimer.exe" "$install/"
wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v Version /t REG_SZ /d "0.98 beta" /f >/dev/null 2>&1
