#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the program with no display at all (no X, no Wayland, no Qt platform chosen):
# --help, --version and --list-ports answer and succeed; a plain start ends with one line on
# standard error and a failure status, never an abort.
# Usage: check_without_display.sh SELVANE
set -u
program="$1"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/selvane-cli.XXXXXX")" || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the program without any display; sets status, leaves out/err in the scratch folder.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR "$@" \
    timeout 20 "$program" ${args} >"$scratch/out" 2>"$scratch/err"
  status=$?
}

args="--help"; run
[ "$status" -eq 0 ] || fail "--help ended with status $status: $(cat "$scratch/err")"
grep -q -- "--port" "$scratch/out" && grep -q -- "--nuit" "$scratch/out" || fail "--help does not list --port and --nuit"

args="--version"; run
[ "$status" -eq 0 ] && grep -q "2\.2" "$scratch/out" || fail "--version: status $status, printed '$(cat "$scratch/out")'"

args="--list-ports"; run
[ "$status" -eq 0 ] || fail "--list-ports ended with status $status: $(cat "$scratch/err")"

args="--no-such-option"; run
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] && grep -q "no-such-option" "$scratch/err" \
  || fail "a mistyped option: status $status, said '$(cat "$scratch/err")'"

# The site: a bad one is refused before anything else, in one line and status 2; a good one is taken
# (the start then stops only for want of a display).
for bad in "91,0" "45.76" "45,76,4,84" "45.76,4.84,abc" "0,0,20000"; do
  args="--lieu $bad --port /dev/null"; run
  [ "$status" -eq 2 ] && [ "$(wc -l <"$scratch/err")" -eq 1 ] && grep -q -- "--lieu" "$scratch/err" \
    || fail "--lieu $bad: status $status, said '$(cat "$scratch/err")'"
done
for good in "45.76,4.84,200" "-33.9,18.4" "+0.5,-179.5,-10"; do
  args="--lieu $good --port /dev/null"; run
  [ "$status" -eq 1 ] && grep -q "affichage" "$scratch/err" || fail "--lieu $good: status $status, said '$(cat "$scratch/err")'"
done

# A plain start: once with no display named, once with one named that nobody serves.
for display in "" ":9387"; do
  if [ -n "$display" ]; then args="--port /dev/null"; run DISPLAY="$display"; else args="--port /dev/null"; run; fi
  what="a start with DISPLAY='$display'"
  if [ "$status" -eq 0 ] || [ "$status" -ge 124 ]; then
    fail "$what ended with status $status (expected a plain failure, no signal or time-out)"
  fi
  [ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "$what wrote $(wc -l <"$scratch/err") lines on stderr: $(cat "$scratch/err")"
  grep -q "affichage" "$scratch/err" || fail "$what did not say there is no display: $(cat "$scratch/err")"
  [ -s "$scratch/out" ] && fail "$what wrote on stdout: $(cat "$scratch/out")"
done

[ "$failures" -eq 0 ] || exit 1
echo "command line without a display: --help, --version, --list-ports answer; a start says why it cannot"
