#!/usr/bin/env bash
# Makes the release from the checkout: builds the win64 and win32 presets, then writes to dist/
#   Cadenzo-VERSION-x64.zip, Cadenzo-VERSION-x86.zip  one folder Cadenzo\ each: the stripped
#       Cadenzo.exe, ati.pci, the language files, the help, README.txt and LICENSE.txt
#   Cadenzo-VERSION-setup.exe                          the installer (NSIS)
#   Cadenzo-VERSION-x64.msi, Cadenzo-VERSION-x86.msi  the Windows Installer packages of the
#       zips' files, for Group Policy and Intune (tools/make-msi.py, release/Cadenzo.wxs)
#   SHA256SUMS
# Two runs on the same commit give the same bytes: every file in the zips, the installer and
# the packages has the commit's date, the zips list their files in one order with fixed
# permissions, the installer stores no file times, and the packages' codes come from the
# version and their contents.
#
# Environment:
#   CADENZO_DIST=DIR            write there instead of dist/
#   CADENZO_RELEASE_NO_BUILD=1  package the build directories as they are (the release check)
#   CADENZO_HELP_REQUIRED=0|1   whether a build without a help file (*.chm) is an error
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dist=${CADENZO_DIST:-$root/dist}
# A release without its help file is incomplete.
help_required=${CADENZO_HELP_REQUIRED:-1}

if [ "${CADENZO_RELEASE_NO_BUILD:-0}" != 1 ]; then
  scripts/install-deps.sh
  scripts/build.sh win64 win32
fi

# Name, version and publisher as the build gave them to the exe's version resource.
version_text=$(sed -n 's/^!define VERSION_TEXT "\(.*\)"$/\1/p' build/win64/Version.nsh)
[ -n "$version_text" ] || { echo "build/win64/Version.nsh has no version: build first" >&2; exit 1; }
release="Cadenzo-${version_text// /-}"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

stage=$(mktemp -d "${TMPDIR:-/tmp}/cadenzo-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$dist"

# Windows text: CR LF line ends.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"; }

# stage/ARCH/Cadenzo: what one zip holds, from build directory $2 with strip $3.
stage_files() {
  local arch=$1 build=build/$2 strip=$3 folder=$stage/$1/Cadenzo
  mkdir -p "$folder"
  "$strip" -o "$folder/Cadenzo.exe" "$build/Cadenzo.exe"
  cp "$build/ati.pci" "$build/English.lng" "$build/Russian.lng" "$folder/"
  local help=("$build"/*.chm)
  if [ -e "${help[0]}" ]; then
    cp "${help[@]}" "$folder/"
  elif [ "$help_required" = 1 ]; then
    echo "no help file (*.chm) in $build: the release needs it" >&2
    exit 1
  else
    echo "note: no help file (*.chm) in $build; the $arch release ships without help" >&2
  fi
  crlf release/README.txt "$folder/README.txt"
  crlf release/LICENSE.txt "$folder/LICENSE.txt"
  find "$stage/$arch" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}
stage_files x64 win64 x86_64-w64-mingw32-strip
stage_files x86 win32 i686-w64-mingw32-strip

for arch in x64 x86; do
  rm -f "$dist/$release-$arch.zip"
  python3 tools/make-zip.py "$dist/$release-$arch.zip" "$stage/$arch/Cadenzo"
done

# The installer: the two programs side by side, the other files once; Files.nsh installs them,
# UnFiles.nsh removes them again.
setup=$stage/setup
mkdir -p "$setup/x64" "$setup/x86"
cp "$stage/x64/Cadenzo/Cadenzo.exe" "$setup/x64/"
cp "$stage/x86/Cadenzo/Cadenzo.exe" "$setup/x86/"
: >"$setup/Files.nsh"
: >"$setup/UnFiles.nsh"
for file in $(cd "$stage/x64/Cadenzo" && ls | LC_ALL=C sort); do
  [ "$file" = Cadenzo.exe ] && continue
  cp "$stage/x64/Cadenzo/$file" "$setup/"
  echo "File \"$setup/$file\"" >>"$setup/Files.nsh"
  echo "Delete \"\$INSTDIR\\$file\"" >>"$setup/UnFiles.nsh"
done
makensis -V2 -INPUTCHARSET UTF8 \
  "-DOUTFILE=$dist/$release-setup.exe" "-DSTAGE=$setup" "-DVERSION=$root/build/win64/Version.nsh" \
  "-DICON=$root/app/res/Cadenzo.ico" release/Cadenzo.nsi >"$stage/makensis.log" ||
  { cat "$stage/makensis.log" >&2; exit 1; }

# The packages: each holds the zip's files, and its removal's custom action, stripped as the
# program is.
for arch in x64 x86; do
  case $arch in
    x64) build=build/win64 strip=x86_64-w64-mingw32-strip ;;
    x86) build=build/win32 strip=i686-w64-mingw32-strip ;;
  esac
  "$strip" -o "$stage/CadenzoSetup-$arch.dll" "$build/CadenzoSetup.dll"
  python3 tools/make-msi.py "$arch" "$stage/$arch/Cadenzo" "$stage/CadenzoSetup-$arch.dll" \
    build/win64/Version.nsh app/res/Cadenzo.ico "$dist/$release-$arch.msi"
done

files=("$release-x64.zip" "$release-x86.zip" "$release-setup.exe" "$release-x64.msi" "$release-x86.msi")
(cd "$dist" && sha256sum "${files[@]}" >SHA256SUMS)
(cd "$dist" && ls -l "${files[@]}" SHA256SUMS)
