#!/usr/bin/env bash
# The Wine machine hands back what a job did, as if it had run here: its exit
# status, its output byte for byte, the ZEL_ variables it was given, the files
# named to come back; a carried file is found at its host path.
#   round_trip.sh VM_IMAGE_DIR
set -uo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
IMAGE="$(realpath -m "$1")"
work="$(mktemp -d /tmp/zel-round-trip.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "winevm round trip: $*"; failures=$((failures + 1)); }

mkdir -p "$work/job/back"
printf 'carried über\n' >"$work/job/in.txt"
# The job's lines: a carried file, a tab, text without a final newline and
# error output, then a file written for the way back and exit status 7.
job='cat "$1/in.txt"; printf "%s\t%s\n" "$ZEL_ROUND_TRIP" tab; echo to-stderr >&2; printf "no newline"
     echo made >"$1/back/made.txt"; exit 7'
status=0
# The job starts in the folder it was sent from, which must be carried too.
cd "$work/job"
ZEL_ROUND_TRIP=passed "$ROOT/winevm/run-in-vm.sh" --image "$IMAGE" --carry "$work/job" \
  --back "$work/job/back" -- bash -c "$job" job "$work/job" >"$work/out.txt" || status=$?

expected="$(printf 'carried über\npassed\ttab\nto-stderr\nno newline' | od -c)"
actual="$(od -c <"$work/out.txt")"
[ "$status" = 7 ] || fail "exit status $status, expected 7"
[ "$actual" = "$expected" ] || fail "output differs; expected:
$expected
got:
$actual"
[ "$(cat "$work/job/back/made.txt" 2>/dev/null)" = made ] || fail "the file written for the way back did not arrive"

[ "$failures" = 0 ] && echo "winevm round trip: passed"
[ "$failures" = 0 ]
