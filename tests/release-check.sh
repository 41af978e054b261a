#!/usr/bin/env bash
# Checks what scripts/release.sh makes from the win64 and win32 builds as they are: the zips'
# files, each exe's architecture, stripped and importing only system DLLs, Windows line ends
# in the texts, the checksums, the version in the installer, the MSI packages' files, codes,
# dates and custom action, and that a second run gives the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work directory}
rm -rf "$work"
mkdir -p "$work"
passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}

release() {
  CADENZO_RELEASE_NO_BUILD=1 CADENZO_DIST="$work/$1" "$root/scripts/release.sh" >"$work/$1.log" 2>&1 ||
    { cat "$work/$1.log" >&2; exit 1; }
}
release first
release second
version=$(sed -n 's/^!define VERSION_TEXT "\(.*\)"$/\1/p' "$root/build/win64/Version.nsh")
name="Cadenzo-${version// /-}"
dist=$work/first

check "SHA256SUMS lists the zips, the installer and the packages, and they match it" \
  bash -c "cd '$dist' && test \$(wc -l <SHA256SUMS) = 5 && sha256sum --quiet -c SHA256SUMS"
same() { cmp -s "$dist/$1" "$work/second/$1"; }
for file in "$name-x64.zip" "$name-x86.zip" "$name-setup.exe" "$name-x64.msi" "$name-x86.msi" \
  SHA256SUMS; do
  check "a second run gives the same $file" same "$file"
done

# The files of a zip, one a line; with "extract" also unpacked under $work/ARCH.
zip_files() {
  python3 -c 'import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print("\n".join(z.namelist()))
if len(sys.argv) > 2: z.extractall(sys.argv[2])' "$@"
}
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|msvcrt)\.dll$'
imports_only_system_dlls() {
  "$1-objdump" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | grep -vqE "$system_dlls" && return 1
  return 0
}
crlf_only() { grep -q $'\r$' "$1" && ! grep -qv $'\r$' "$1"; }
for arch in x64 x86; do
  case $arch in
    x64) tools=x86_64-w64-mingw32 format=pei-x86-64 build=win64 ;;
    x86) tools=i686-w64-mingw32 format=pei-i386 build=win32 ;;
  esac
  zip=$dist/$name-$arch.zip
  expected=$( (printf '%s\n' Cadenzo/ Cadenzo/Cadenzo.exe Cadenzo/English.lng Cadenzo/LICENSE.txt \
    Cadenzo/README.txt Cadenzo/Russian.lng Cadenzo/ati.pci
    for help in "$root/build/$build"/*.chm; do [ ! -e "$help" ] || echo "Cadenzo/${help##*/}"; done) |
    LC_ALL=C sort)
  check "$arch zip holds one folder Cadenzo with the program's files" \
    test "$(zip_files "$zip" "$work/$arch" | LC_ALL=C sort)" = "$expected"
  exe=$work/$arch/Cadenzo/Cadenzo.exe
  check "$arch zip's Cadenzo.exe is $format" grep -q "file format $format" <("$tools-objdump" -f "$exe")
  check "$arch zip's Cadenzo.exe is stripped" grep -q 'no symbols' <("$tools-nm" "$exe" 2>&1)
  check "$arch zip's Cadenzo.exe imports only system DLLs" imports_only_system_dlls "$tools" "$exe"
  # strip dates the PE header by SOURCE_DATE_EPOCH, as the release does: the commit's date.
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct) \
    "$tools-strip" -o "$work/$arch-stripped.exe" "$root/build/$build/Cadenzo.exe"
  check "$arch zip's Cadenzo.exe is the build's, stripped" cmp -s "$exe" "$work/$arch-stripped.exe"
  for text in README.txt LICENSE.txt; do
    check "$arch zip's $text has Windows line ends" crlf_only "$work/$arch/Cadenzo/$text"
  done
done

# Texts of the version resources (UTF-16LE) that file $1 carries, one a line.
carries() {
  python3 -c 'import sys
data = open(sys.argv[1], "rb").read()
sys.exit(any(t.encode("utf-16-le") not in data for t in sys.argv[2:]))' "$@"
}
setup=$dist/$name-setup.exe
check "the installer is a 32-bit Windows program" \
  grep -q 'file format pei-i386' <(i686-w64-mingw32-objdump -f "$setup")
for file in "$setup" "$work/x64/Cadenzo/Cadenzo.exe" "$work/x86/Cadenzo/Cadenzo.exe"; do
  check "${file##*/} carries version $version of Korvex" carries "$file" "$version" Korvex
done
# The MSI packages. Their upgrade codes never change: with them a newer version replaces the
# one installed.
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
summary() { msiinfo suminfo "$1" | sed -n "s/^$2: //p"; }
commit_date=$(TZ=UTC LC_ALL=C date -d "@$(git -C "$root" log -1 --format=%ct)" '+%a %b %e %H:%M:%S %Y')
for arch in x64 x86; do
  case $arch in
    x64) upgrade='{6E1F3A52-8C07-4B0D-9A61-2F4C85D7B310}' template='x64;1033' format=pei-x86-64
      tools=x86_64-w64-mingw32 extracted=Cadenzo ;;  # msitools know no ProgramFiles64Folder
    x86) upgrade='{B3D9C7E4-1A56-4F28-8E0B-7C5A2D91F463}' template='Intel;1033' format=pei-i386
      tools=i686-w64-mingw32 extracted='Program Files/Cadenzo' ;;
  esac
  msi=$dist/$name-$arch.msi
  check "$arch package is for $template with its upgrade code" \
    test "$(summary "$msi" Template)|$(property "$msi" UpgradeCode)" = "$template|$upgrade"
  check "$arch package is Cadenzo $version of Korvex" test \
    "$(property "$msi" ProductName)|$(summary "$msi" Subject)|$(property "$msi" Manufacturer)" = \
    "Cadenzo|Cadenzo $version|Korvex"
  check "$arch package is dated by the commit" \
    test "$(TZ=UTC LC_ALL=C summary "$msi" Created)|$(TZ=UTC LC_ALL=C summary "$msi" 'Last saved')" = \
    "$commit_date|$commit_date"
  mkdir -p "$work/msi-$arch"
  msiextract -C "$work/msi-$arch" "$msi" >/dev/null
  check "$arch package installs the zip's files, byte for byte" \
    diff -r "$work/msi-$arch/$extracted" "$work/$arch/Cadenzo"
  (cd "$work/msi-$arch" && msidump -s "$msi" >/dev/null)
  check "$arch package's custom action is $format" \
    grep -q "file format $format" <("$tools-objdump" -f "$work/msi-$arch/_Streams/Binary.CadenzoSetup")
done
check "each version and architecture has its own product and package code" test "$(
  for arch in x64 x86; do property "$dist/$name-$arch.msi" ProductCode; summary "$dist/$name-$arch.msi" 'Revision number (UUID)'; done |
    sort -u | wc -l)" = 4
ls -l "$dist"
echo "$passed passed, $failed failed"
((failed == 0))
