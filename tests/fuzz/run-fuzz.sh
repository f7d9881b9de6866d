#!/usr/bin/env bash
# Runs every fuzz program of a fuzz build for SECONDS each on a copy of its
# seed corpus; --smoke gives each a few seconds. Findings (crash-*, leak-*,
# timeout-*, oom-*) stay in <build>/fuzz-out/<target>/.
#   tests/fuzz/run-fuzz.sh [--smoke] <build dir> [SECONDS] [target...]
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SMOKE=0
if [ "${1:-}" = "--smoke" ]; then SMOKE=1; shift; fi
BUILD="$(cd "${1:?usage: run-fuzz.sh [--smoke] <build dir> [SECONDS] [target...]}" && pwd)"
SECONDS_EACH="${2:-60}"
[ "$SMOKE" = 1 ] && SECONDS_EACH=5
shift $(( $# >= 2 ? 2 : $# ))
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(fuzz_url fuzz_paths fuzz_launch_file fuzz_view_list fuzz_notify fuzz_save)
# Launch-file values reach past the 1,024-byte read buffer.
MAX_LEN=8192

failed=()
for target in "${TARGETS[@]}"; do
  bin="$BUILD/bin/$target"
  [ -x "$bin" ] || { echo "missing $bin"; failed+=("$target(missing)"); continue; }
  out="$BUILD/fuzz-out/$target"
  rm -rf "$out/corpus"; mkdir -p "$out/corpus"
  cp "$HERE/corpus/$target/"* "$out/corpus/" 2>/dev/null || true
  start=$(date +%s)
  (cd "$out" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$bin" -max_total_time="$SECONDS_EACH" -max_len="$MAX_LEN" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 corpus > "$out/log.txt" 2>&1)
  rc=$?
  took=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log.txt" | tail -1)
  if [ $rc -eq 0 ]; then
    echo "$target: ok, ${took}s, ${runs:-?} runs"
  else
    echo "$target: FINDING (exit $rc) after ${took}s, see $out/log.txt"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -eq 0 ]; then
  echo "fuzz: ${#TARGETS[@]} target(s), ${SECONDS_EACH}s each, no findings"
  exit 0
fi
echo "fuzz: findings in ${failed[*]}"
exit 1
