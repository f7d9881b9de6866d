#!/usr/bin/env bash
# ThreadSanitizer over the module's entry points: builds a tree of its own
# with -fsanitize=thread (default build/tsan), then drives libZelDMAgent.so
# from eight threads. Exits non-zero on any report or failed call.
#   tests/tsan/run-tsan.sh [build dir]
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:-$ROOT/build/tsan}"
LOG="$BUILD/tsan.log"
JOBS="${JOBS:-2}"
summary() { echo "tsan: $*"; }

mkdir -p "$BUILD"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEL_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_C_FLAGS="-fsanitize=thread" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
    > "$BUILD/configure.log" 2>&1 || { summary "FAILED to configure (see $BUILD/configure.log)"; exit 1; }
fi
cmake --build "$BUILD" -j "$JOBS" --target ZelDMAgent > "$BUILD/build.log" 2>&1 ||
  { summary "FAILED to build (see $BUILD/build.log)"; exit 1; }
g++ -std=c++20 -g -O1 -fsanitize=thread -I"$ROOT" -DZEL_PLATFORM_DIR=native -I"$BUILD/generated/identifiers" \
  "$ROOT/tests/tsan/module_threads.cpp" \
  -o "$BUILD/module_threads" -ldl -pthread >> "$BUILD/build.log" 2>&1 ||
  { summary "FAILED to build the driver (see $BUILD/build.log)"; exit 1; }

MODULE="$BUILD/bin/libZelDMAgent.so"
TSAN_OPTIONS="halt_on_error=0 exitcode=66 second_deadlock_stack=1" \
  "$BUILD/module_threads" "$MODULE" > "$LOG" 2>&1
rc=$?
reports=$(grep -c '^WARNING: ThreadSanitizer' "$LOG")
if [ $rc -eq 0 ] && [ "$reports" -eq 0 ]; then
  summary "ok, $(tail -1 "$LOG"), no reports"
  exit 0
fi
summary "FAILED (exit $rc, $reports report(s)), see $LOG"
exit 1
