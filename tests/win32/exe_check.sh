#!/usr/bin/env bash
# Checks each Windows program as built: it imports only system DLLs that
# every Windows from XP on has, it asks for Windows 5.01 (XP) as subsystem and
# OS version, it is a GUI program under 1 MiB, and its resources hold its
# version information, icon, pictures and manifest.
#   exe_check.sh <bin folder> <objdump> <windres>
set -euo pipefail
bin=$1 objdump=$2 windres=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# file | internal name | title (file description) | product name | version |
# icon size and bits per pixel | pictures
programs=(
  "KELMOR.EXE|KELMOR|Kelmor for Windows|Kelmor for Windows 2000/XP|1.1|32 4|KELMOR_BACKGROUND_BMP"
  "_KelmorPlix.exe|_KelmorPlix|Kelmor Plix Launcher|Kelmor Plix Launcher|1.0|32 4|KELPLIX_BACKGROUND_GIF"
  "_Mapper.exe|_Mapper|Kelmor Plix Mapper Launcher|Kelmor Plix Mapper Launcher|1.0|64 24|"
  "_Configuration.exe|_Configuration|Kelmor Plix Configuration|Kelmor Plix Configuration|1.0|32 4|"
)
system_dlls="ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll"

for entry in "${programs[@]}"; do
  IFS='|' read -r file internal title product version icon pictures <<<"$entry"
  exe=$bin/$file
  [ -f "$exe" ] || { fail "$file was not built"; continue; }
  size=$(stat -c %s "$exe")
  echo "$file: $size bytes"
  [ "$size" -lt 1048576 ] || fail "$file is $size bytes, not under 1 MiB"

  headers=$("$objdump" -p "$exe")
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | sort -f | tr '\n' ' ')
  for dll in $imports; do
    grep -qiw -- "$dll" <<<"$system_dlls" || fail "$file imports $dll"
  done
  for field in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
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
done
[ "$failures" = 0 ] || exit 1
echo "PASS"
