#!/usr/bin/env bash
# Runs one Win32 GoogleTest executable for CTest:
#   run-gtest.sh <seconds> <wine-run.sh> <program.exe> [arguments...]
# and passes only a run that ended as a run of tests ends. A process that dies
# under Wine may still leave an exit status of 0, so besides the status the
# output must hold the counts the tests' main prints (tests/win32/support/
# TestMain.cpp): at least one test planned, every planned test ended, none
# failed, and no crash reported by Wine on the way. A run still going after
# <seconds> is stopped and fails as a hang.
set -u
seconds=$1; shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout -k 10 "$seconds" "$@" >"$out" 2>&1
rc=$?
cat "$out"
fail() { echo "run-gtest: FAILED: $*"; exit 1; }
[ "$rc" -eq 124 ] || [ "$rc" -eq 137 ] && fail "still running after ${seconds}s (a hang)"
if grep -qE '^wine: Unhandled|^Unhandled exception' "$out"; then fail "the process crashed (exit status $rc)"; fi
[ "$rc" -eq 0 ] || fail "exit status $rc"
planned=$(sed -n 's/^VL tests to run: \([0-9]*\)$/\1/p' "$out" | tail -1)
ended=$(sed -n 's/^VL tests ran: \([0-9]*\), failed: \([0-9]*\)$/\1 \2/p' "$out" | tail -1)
[ -n "$planned" ] || fail "no test was started"
[ "$planned" -gt 0 ] || fail "no test selected to run"
[ -n "$ended" ] || fail "the run did not end (planned $planned tests)"
read -r ran failed <<<"$ended"
[ "$ran" -eq "$planned" ] || fail "$ran of $planned tests ran"
[ "$failed" -eq 0 ] || fail "$failed tests failed"
exit 0
