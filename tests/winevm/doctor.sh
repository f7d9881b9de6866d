#!/usr/bin/env bash
# ./run doctor on both kinds of host, the QEMU one played with ZEL_WINE_VM=1:
# a host that runs Windows programs in the machine wants no Wine and no i386
# package, one that runs them itself wants 32-bit Wine; each report names
# the host's kind, and the exit status says whether something is missing.
#   doctor.sh
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "doctor: $*"; failures=$((failures + 1)); }

report() {  # environment assignments; the report in $out, the status in $status
  status=0
  out="$(env "$@" "$ROOT/run" doctor 2>&1)" || status=$?
}
wanted() { sed -n 's/^packages wanted ([0-9]*): //p' <<<"$out"; }
# Something is missing when a package is, or the report says so.
missing_reported() { ! grep -qx 'packages missing: none' <<<"$out" || grep -q '^doctor: something is missing' <<<"$out"; }

report ZEL_WINE_VM=1
grep -q '^host: Windows programs run in the QEMU machine' <<<"$out" || fail "the QEMU host is not named as such"
[ -n "$(wanted)" ] || fail "the QEMU host's report lists no wanted packages"
for package in $(wanted); do
  case "$package" in
    wine|wine32*|wine64*|libwine*|*:i386) fail "the QEMU host wants $package" ;;
  esac
done
grep -qw qemu-system-x86 <<<"$(wanted)" || fail "the QEMU host does not want QEMU"
grep -q '^QEMU machine image (.*): \(ready\|out of date\|not built\)' <<<"$out" || fail "no state of the QEMU image"
if missing_reported; then [ "$status" != 0 ] || fail "something is missing on the QEMU host, yet doctor exits 0"
else [ "$status" = 0 ] || fail "nothing is missing on the QEMU host, yet doctor exits $status"; fi

if bash "$ROOT/winevm/i386-probe.sh" "$WORK/probe" 2>/dev/null; then
  report
  grep -q '^host: runs IA-32 code' <<<"$out" || fail "this host runs IA-32 code, the report says otherwise"
  grep -qw 'wine32:i386' <<<"$(wanted)" || fail "a host that runs Wine itself does not want 32-bit Wine"
  grep -q '^locales: ja_JP.UTF-8 \(present\|missing\)' <<<"$out" || fail "no word on the Japanese locale"
  if missing_reported; then [ "$status" != 0 ] || fail "something is missing, yet doctor exits 0"
  else [ "$status" = 0 ] || fail "nothing is missing, yet doctor exits $status"; fi
fi

[ "$failures" = 0 ] && echo "doctor: passed" && exit 0
echo "doctor: FAILED ($failures)"
exit 1
