#!/usr/bin/env bash
# The setup program under Wine (CTest `installer`, after `installer_build` made it
# with scripts/dist): a silent install into a fake player folder found through the
# registry, the uninstall entry, silent uninstalls that keep the user's settings
# and files and remove exactly what was installed, and a folder without the player
# refused, a DLL in use left whole.    installer_test.sh CROSS-TREE DIST-FOLDER HoldLibrary.exe
set -u
cross=$1; out=$2; holder=$3
run() { "$cross/wine-run.sh" "$@"; }
winpath() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
fail=0
expect() { local what=$1; shift; "$@" >/dev/null 2>&1 || { echo "FAILED: $what"; fail=1; }; }
setup=$(ls "$out"/VelvetLister-*-setup.exe) && stage=$(ls -d "$out"/dist/VelvetLister-*/) ||
  { echo "no setup program in $out"; exit 1; }
t="$out/run"; P="$t/Winamp/Plugins"
rm -rf "$t"; mkdir -p "$t/Winamp" "$t/Empty"; : > "$t/Winamp/winamp.exe"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelvetLister'
trap 'run reg delete "HKCU\Software\Winamp" /f >/dev/null 2>&1' EXIT
run reg delete "$key" /f >/dev/null 2>&1
run reg add 'HKCU\Software\Winamp' /ve /d "$(winpath "$t/Winamp")" /f >/dev/null

uninstall() {  # as the uninstaller itself does: a copy runs, told where it was
  cp "$P/VelvetLister/Uninstall.exe" "$t/un.exe" && run "$t/un.exe" /S "$@" "_?=$(winpath "$P/VelvetLister")"
}

run "$setup" /S; rc=$?
expect "a silent install into the folder the registry names exits with 0 (got $rc)" test $rc -eq 0
expect "the installed DLL is the stripped one" cmp "$stage/gen_VelvetLister.dll" "$P/gen_VelvetLister.dll"
expect "the read-me and the sample skins are installed" diff -r -x gen_VelvetLister.dll -x Uninstall.exe "$stage" "$P/VelvetLister"
expect "no temporary DLL is left" test ! -e "$P/gen_VelvetLister.dll.new"
entry=$(run reg query "$key")
expect "the uninstall entry names the uninstaller" grep -qF "\"$(winpath "$P")\\VelvetLister\\Uninstall.exe\"" <<<"$entry"
expect "the uninstall entry names the player's folder" grep -qF "InstallLocation    REG_SZ    $(winpath "$t/Winamp")" <<<"$entry"

# A DLL some process holds is neither replaced nor damaged.
printf 'held' >> "$P/gen_VelvetLister.dll"; cp "$P/gen_VelvetLister.dll" "$t/held.dll"
run "$holder" "$(winpath "$P/gen_VelvetLister.dll")" "$(winpath "$t/loaded")" "$(winpath "$t/stop")" & holding=$!
for _ in $(seq 300); do [ -e "$t/loaded" ] || ! kill -0 $holding 2>/dev/null && break; sleep 0.1; done
expect "the DLL is held" test -e "$t/loaded"
run "$setup" /S; rc=$?
: > "$t/stop"; wait $holding
expect "an install over a DLL in use fails (got $rc)" test $rc -ne 0
expect "a DLL in use is left as it was" cmp "$t/held.dll" "$P/gen_VelvetLister.dll"
expect "no temporary DLL is left after a refused install" test ! -e "$P/gen_VelvetLister.dll.new"

printf '[Other Plug-in]\r\nx=1\r\n[VelvetLister Plug-in]\r\nFont.Point=10\r\n' > "$P/plugin.ini"
cp "$P/plugin.ini" "$t/plugin.ini.before"
: > "$P/VelvetLister/Skins/Mine.wsc"; : > "$P/gen_Other.dll"
uninstall; rc=$?
expect "a silent uninstall exits with 0 (got $rc)" test $rc -eq 0
expect "the DLL is removed" test ! -e "$P/gen_VelvetLister.dll"
expect "only the user's own file is left in the plug-in's folder" \
  test "$(cd "$P/VelvetLister" 2>/dev/null && find . -type f)" = "./Skins/Mine.wsc"
expect "plugin.ini is kept as it was" cmp "$t/plugin.ini.before" "$P/plugin.ini"
expect "another plug-in is left alone" test -e "$P/gen_Other.dll"
expect "the uninstall entry is removed" bash -c "! '$cross/wine-run.sh' reg query '$key'"

run "$setup" /S "/D=$(winpath "$t/Winamp")"; rc=$?
expect "a silent install into the folder given with /D exits with 0 (got $rc)" test $rc -eq 0
uninstall /REMOVESETTINGS
expect "\"Also remove my settings\" removes only the plug-in's section of plugin.ini" \
  test "$(tr -d '\r' < "$P/plugin.ini")" = "$(printf '[Other Plug-in]\nx=1')"

run "$setup" /S "/D=$(winpath "$t/Empty")"; rc=$?
expect "an install into a folder without winamp.exe fails (got $rc)" test $rc -ne 0
expect "nothing is written into a folder without winamp.exe" test -z "$(ls -A "$t/Empty")"
[ $fail = 0 ] && echo "installer: all checks passed"
exit $fail
