#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks each Windows program as built, without running it: it imports only
# system DLLs that every Windows from XP on has, it asks for the oldest
# Windows of its architecture as subsystem and OS version (5.01, XP; 5.02 for
# amd64), it is a GUI program under 1 MiB (KELMOR.EXE as shipped, for x86,
# under 600 KB), and its resources hold its version information, icon,
# pictures and a manifest that names its architecture (x86 or amd64). Then
# the setup program holds what the zip holds.
#   exe_check.sh <bin folder> <objdump> <windres> <architecture> <version>
#                <zip> <setup>
set -euo pipefail
bin=$1 objdump=$2 windres=$3 architecture=$4 windows=$5 zip=$6 setup=$7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# file | internal name | title (file description) | product name | version |
# icon size and bits per pixel | pictures | most bytes for x86 (else 1 MiB)
programs=(
  "KELMOR.EXE|KELMOR|Kelmor for Windows|Kelmor for Windows 2000/XP|1.1|32 4|KELMOR_BACKGROUND_PNG|600000"
  "_KelmorPlix.exe|_KelmorPlix|Kelmor Plix Launcher|Kelmor Plix Launcher|1.0|32 4|KELPLIX_BACKGROUND_PNG|"
  "_Mapper.exe|_Mapper|Kelmor Plix Mapper Launcher|Kelmor Plix Mapper Launcher|1.0|64 24||"
  "_Configuration.exe|_Configuration|Kelmor Plix Configuration|Kelmor Plix Configuration|1.0|32 4||"
)
system_dlls="ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll"

for entry in "${programs[@]}"; do
  IFS='|' read -r file internal title product version icon pictures x86_most <<<"$entry"
  exe=$bin/$file
  [ -f "$exe" ] || { fail "$file was not built"; continue; }
  size=$(stat -c %s "$exe")
  echo "$file: $size bytes"
  most=1048576
  [ "$architecture" != x86 ] || most=${x86_most:-$most}
  [ "$size" -lt "$most" ] || fail "$file is $size bytes, not under $most"

  headers=$("$objdump" -p "$exe")
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | sort -f | tr '\n' ' ')
  for dll in $imports; do
    grep -qiw -- "$dll" <<<"$system_dlls" || fail "$file imports $dll"
  done
  for field in MajorOSystemVersion:${windows%.*} MinorOSystemVersion:$((10#${windows#*.})) \
               MajorSubsystemVersion:${windows%.*} MinorSubsystemVersion:$((10#${windows#*.})); do
    grep -qP "^${field%:*}\t+${field#*:}\$" <<<"$headers" ||
      fail "$file: ${field%:*} is $(grep -P "^${field%:*}\t" <<<"$headers" | cut -f2-), not ${field#*:}"
  done
  grep -qP '^Subsystem\t+00000002\t\(Windows GUI\)' <<<"$headers" || fail "$file is not a GUI program"

  "$windres" -i "$exe" -o "$work/$file.rc"
  rc=$(cat "$work/$file.rc")
  major=${version%.*} minor=${version#*.}
  grep -q "FILEVERSION $major, $minor, 0, 0" <<<"$rc" || fail "$file: file version is not $major.$minor.0.0"
  grep -q "PRODUCTVERSION $major, $minor, 0, 0" <<<"$rc" || fail "$file: product version is not $major.$minor.0.0"
  for value in "ProductName|$product" "FileDescription|$title" "InternalName|$internal" \
               "OriginalFilename|$file"; do
    grep -qF "VALUE \"${value%%|*}\", \"${value#*|}\"" <<<"$rc" ||
      fail "$file: ${value%%|*} is not \"${value#*|}\""
  done
  read -r icon_size icon_bits <<<"$icon"
  octal=$(printf '\\%03o' "$icon_size")
  colours='\000'
  [ "$icon_bits" = 4 ] && colours='\020'  # 16 colours
  grep -qF "\"$octal$octal$colours\\000\", 1, $icon_bits," <<<"$rc" ||
    fail "$file: no ${icon_size} x ${icon_size} icon of $icon_bits bits: $(grep -A1 'width height' <<<"$rc" | tail -n1)"
  for picture in $pictures; do
    grep -q "^\"$picture\" RCDATA" <<<"$rc" || fail "$file: no picture $picture"
  done
  grep -qa 'requestedExecutionLevel level="asInvoker"' "$exe" || fail "$file: no asInvoker manifest"
  grep -qa "processorArchitecture=\"$architecture\"" "$exe" || fail "$file: the manifest does not name $architecture"
done

# The setup program's payload, as 7-Zip reads an NSIS setup: the zip's files,
# byte for byte (the folders it makes are no files of its own), besides the
# uninstaller it writes and its own plug-ins.
files() { (cd "$1" && find . -type f -printf '%P\n' | grep -v '^\$PLUGINSDIR/' | LC_ALL=C sort); }
if [ -f "$zip" ] && [ -f "$setup" ]; then
  mkdir "$work/zip" "$work/setup"
  7z x -bd -y -o"$work/zip" "$zip" >/dev/null || fail "7-Zip cannot read $zip"
  7z x -bd -y -o"$work/setup" "$setup" >/dev/null || fail "7-Zip cannot read $setup"
  diff <({ files "$work/zip/Kelmor Kit"; echo Uninstall.exe; } | LC_ALL=C sort) <(files "$work/setup") ||
    fail "the setup program does not hold the zip's files"
  for file in $(files "$work/zip/Kelmor Kit"); do
    cmp -s "$work/zip/Kelmor Kit/$file" "$work/setup/$file" || fail "the setup's $file is not the zip's"
  done
else
  fail "no release: $zip, $setup (make windows-release)"
fi
[ "$failures" = 0 ] || exit 1
echo "PASS"
