#!/usr/bin/env bash
# The plug-in must be i686, import only system DLLs and export exactly one undecorated name.
set -eu
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
echo "$dump" | grep -q 'file format pei-i386' || { echo "not an i686 PE file"; exit 1; }
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|winmm|shlwapi|advapi32|msvcrt|api-ms-win-.*)\.dll$'
bad=0
for d in $(echo "$dump" | sed -n 's/^\s*DLL Name: //p'); do
  if ! echo "$d" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then echo "unexpected import: $d"; bad=1; fi
done
exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p')
echo "exports: $exports"
[ "$exports" = "winampGetGeneralPurposePlugin" ] || { echo "export table must hold exactly winampGetGeneralPurposePlugin"; bad=1; }
exit $bad
