#!/usr/bin/env bash
# scripts/setup against fake apt-get, dpkg-query, dpkg, sudo and locale first on
# PATH: nothing is installed and no root is needed. Each case prints its output
# when it fails.
set -u
setup=$1
root=$(mktemp -d); trap 'rm -rf "$root"' EXIT
fails=0

make_fakes() {  # $1: folder
  local bin=$1/bin; mkdir -p "$bin"
  cat >"$bin/apt-get" <<'X'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE/calls"
case "$1" in
  update)
    n=$(cat "$FAKE/updates" 2>/dev/null || echo 0); echo $((n + 1)) >"$FAKE/updates"
    if [ "$n" -lt "${FAKE_UPDATE_FAILS:-0}" ]; then
      echo "E: Failed to fetch .../i386/Packages.xz  File has unexpected size (Mirror sync in progress?)"; exit 100
    fi; exit 0 ;;
  install)
    pinned=0; for a in "$@"; do [ "$a" = -t ] && pinned=1; done
    if { [ $pinned = 0 ] && [ "${FAKE_PLAIN_OK:-0}" = 1 ]; } ||
       { [ $pinned = 1 ] && [ "${FAKE_PINNED_OK:-0}" = 1 ]; }; then
      touch "$FAKE/installed"; exit 0
    fi
    echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
esac
exit 0
X
  cat >"$bin/dpkg-query" <<'X'
#!/usr/bin/env bash
[ -e "$FAKE/installed" ] || [ "${FAKE_ALL_INSTALLED:-0}" = 1 ] || exit 1
printf 'install ok installed'
X
  cat >"$bin/dpkg" <<'X'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE/calls"; [ "$1" = --print-foreign-architectures ] && echo i386; exit 0
X
  printf '#!/usr/bin/env bash\n"$@"\n' >"$bin/sudo"
  printf '#!/usr/bin/env bash\necho ja_JP.utf8\n' >"$bin/locale"
  printf 'VERSION_CODENAME=bookworm\n' >"$1/os-release"
  chmod +x "$bin"/*
}

# run_case NAME EXPECTED_RC [VAR=VALUE ...]: runs setup, leaves output in $out
run_case() {
  local name=$1 want_rc=$2; shift 2
  dir="$root/$name"; mkdir -p "$dir"; make_fakes "$dir"
  out=$(env PATH="$dir/bin:$PATH" FAKE="$dir" SETUP_OS_RELEASE="$dir/os-release" \
            SETUP_RETRY_PAUSE=0 "$@" bash "$setup" 2>&1)
  rc=$?
  calls=$(cat "$dir/calls" 2>/dev/null)
  if [ "$rc" != "$want_rc" ] && { [ "$want_rc" = 0 ] || [ "$rc" = 0 ]; }; then
    fail "$name: exit code $rc, wanted $want_rc"
  fi
}
fail() { echo "FAIL $*"; echo "$out" | sed 's/^/  | /'; fails=$((fails + 1)); }
has() { grep -qF -- "$2" <<<"$1"; }
lines() { grep -cF -- "$2" <<<"$1"; }

run_case installed 0 FAKE_ALL_INSTALLED=1
has "$out" "setup: ok" || fail "installed: no ok line"
[ -z "$calls" ] || fail "installed: a package tool was asked: $calls"

run_case broken_index 0 FAKE_UPDATE_FAILS=99 FAKE_PINNED_OK=1
has "$out" "setup: ok" || fail "broken_index: no ok line"
[ "$(lines "$calls" "apt-get update")" = 3 ] || fail "broken_index: update not tried 3 times"
[ "$(lines "$out" "retrying")" = 2 ] || fail "broken_index: not one line per retry"
has "$out" "going on" || fail "broken_index: no line for going on"
[ "$(lines "$out" "pinned to bookworm")" = 1 ] || fail "broken_index: no one line for the pin"
has "$calls" "install -y -qq --no-install-recommends -t bookworm" || fail "broken_index: no pinned install"
has "$calls" "wine32:i386" || fail "broken_index: wine32:i386 not asked for"

run_case flaky_update 0 FAKE_UPDATE_FAILS=1 FAKE_PLAIN_OK=1
has "$out" "setup: ok" || fail "flaky_update: no ok line"
[ "$(lines "$calls" "apt-get update")" = 2 ] || fail "flaky_update: update not retried once"
has "$out" "pinned" && fail "flaky_update: pinned although the plain install worked"

run_case hopeless 1 FAKE_UPDATE_FAILS=99
has "$out" "setup: ok" && fail "hopeless: reported ok"
has "$out" "setup: could not install: " || fail "hopeless: no list of what is missing"
has "$out" "wine32:i386" || fail "hopeless: wine32:i386 not named"
has "$out" "try by hand: " || fail "hopeless: no command to try by hand"
has "$out" "held broken packages" || fail "hopeless: apt's reason not shown"

echo "setup script: $fails failures"
[ "$fails" = 0 ]
