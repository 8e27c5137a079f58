#!/usr/bin/env bash
# Builds both Windows trees and packs dist/VelomaSS-<version>.zip: the 32-
# and 64-bit savers, the piece image, the samples and the install text; and
# from the same files the installer dist/VelomaSS-<version>-setup.exe.
# Prints the paths of both.
set -euo pipefail
# Whatever fails, say which command it was; its own error output stands above.
trap 'echo "package: failed (exit $?): $BASH_COMMAND" >&2' ERR
top=$(cd "$(dirname "$0")/.." && pwd)

# The version is set once, in the top CMakeLists.txt.
version=$(sed -nE 's/^project\(VelomaSS VERSION ([0-9]+\.[0-9]+\.[0-9]+)[ )].*/\1/p' "$top/CMakeLists.txt")
if [ -z "$version" ]; then
  echo "package: no version in $top/CMakeLists.txt" >&2
  exit 1
fi

log=$(mktemp)
if ! "$top/scripts/build.sh" win32 win64 >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "package: the Windows build failed" >&2
  exit 1
fi
rm -f "$log"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/x86" "$stage/x64" "$stage/samples"
cp "$top/build/win32/VelomaSS.scr" "$stage/x86/"
cp "$top/build/win64/VelomaSS.scr" "$stage/x64/"
cp "$top/res/velomass.bmp" "$stage/"
cp "$top"/samples/*.wav "$top"/samples/*.mid "$top"/samples/*.lst "$stage/samples/"
# Notepad shows the Japanese half only with a BOM; CRLF line ends for it too.
{
  printf '\xef\xbb\xbf'
  sed -e "s/@VERSION@/$version/g" -e 's/\r$//' -e 's/$/\r/' "$top/res/INSTALL.txt"
} >"$stage/INSTALL.txt"

mkdir -p "$top/dist"
zipfile="$top/dist/VelomaSS-$version.zip"
# zip adds to an existing archive; build a fresh one and move it in place.
(cd "$stage" && zip -q -X -D -r "$stage/package.zip" INSTALL.txt velomass.bmp x86 x64 samples)
mv "$stage/package.zip" "$zipfile"

# The installer copies and removes the samples by name.
{
  echo '!macro InstallSamples'
  for f in "$stage"/samples/*; do echo "  File \"\${STAGE}/samples/${f##*/}\""; done
  echo '!macroend'
  echo '!macro RemoveSamples DIR'
  for f in "$stage"/samples/*; do echo "  Delete \"\${DIR}\\${f##*/}\""; done
  echo '!macroend'
} >"$stage/samples.nsh"
kib() { echo $((($(stat -c %s "$1") + 1023) / 1024)); }
setup="$top/dist/VelomaSS-$version-setup.exe"
log=$(mktemp)
if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$stage/setup.exe" \
    -DX86_KB="$(kib "$stage/x86/VelomaSS.scr")" -DX64_KB="$(kib "$stage/x64/VelomaSS.scr")" \
    "$top/installer/VelomaSS.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "package: makensis failed" >&2
  exit 1
fi
rm -f "$log"
mv "$stage/setup.exe" "$setup"
echo "$zipfile"
echo "$setup"
