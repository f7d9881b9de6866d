#!/usr/bin/env bash
# Valgrind memcheck over a native end-to-end viewing session: the session,
# view list, save, fault and null-argument cases of unit_tests from a plain
# (not sanitized) native build, which the script configures and builds when
# needed. Zero errors and zero definite or indirect leaks, or it fails.
#   tests/valgrind/run-memcheck.sh <plain native build dir>
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:?usage: run-memcheck.sh <plain native build dir>}"
JOBS="${JOBS:-2}"
FILTER="${ZEL_MEMCHECK_FILTER:-Sessions.*:ViewList.*:MarkupSave.*:FaultInjection.*:Viewer/EveryOperation.*:Agent/NullArguments.*}"
summary() { echo "memcheck: $*"; }

mkdir -p "$BUILD"
BUILD="$(cd "$BUILD" && pwd)"
LOG="$BUILD/memcheck.log"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEL_SANITIZE=OFF > "$BUILD/configure.log" 2>&1 ||
    { summary "FAILED to configure (see $BUILD/configure.log)"; exit 1; }
fi
if grep -q 'ZEL_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt"; then
  summary "FAILED: $BUILD is a sanitizer build; valgrind needs a plain one"
  exit 1
fi
cmake --build "$BUILD" -j "$JOBS" --target unit_tests DMAgent > "$BUILD/build.log" 2>&1 ||
  { summary "FAILED to build (see $BUILD/build.log)"; exit 1; }

# The save cases start a recorder program; only the test process is checked.
(cd "$BUILD" && valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --show-leak-kinds=definite,indirect --track-origins=yes --trace-children=no \
  "$BUILD/bin/unit_tests" --gtest_filter="$FILTER" > "$LOG" 2>&1)
rc=$?
errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$LOG" | tail -1)
definite=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$LOG" | tail -1)
indirect=$(sed -n 's/.*indirectly lost: \([0-9,]*\) bytes.*/\1/p' "$LOG" | tail -1)
passed=$(sed -n 's/.*\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$LOG" | tail -1)
if [ $rc -eq 0 ] && [ "${errors:-1}" = 0 ]; then
  summary "ok, ${passed:-0} tests, 0 errors, leaks definite ${definite:-0} indirect ${indirect:-0} bytes"
  exit 0
fi
summary "FAILED (exit $rc, ${errors:-?} errors, definite ${definite:-?} / indirect ${indirect:-?} bytes lost), see $LOG"
exit 1
