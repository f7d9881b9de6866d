#!/usr/bin/env bash
# One viewing session after another through zelview-sim, the way the demo
# runs them, checking the report and what the sample save command recorded.
#   session.sh native|win32 BIN_DIR WORK_DIR CASE
# BIN_DIR holds zelview-sim, the agent module, the viewer's library and
# pdm-save. CASE: pdm-then-plain, model-3d, settings-root, errors,
# helper-keeps-agent.
set -uo pipefail
MODE="$1" BIN="$2" WORK="$3" CASE="$4"
EXAMPLES="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../examples" && pwd)"
FAILURES=0

rm -rf "$WORK" && mkdir -p "$WORK"
export PDM_SAVE_LOG NUV_REGISTRY_FILE="$WORK/registry"
unset NUV_REG_ROOT ZEL_RECORDER_OUT

if [ "$MODE" = win32 ]; then
  export WINEPREFIX="${ZEL_WINEPREFIX:-$WINEPREFIX}" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  winpath() { local p="$1"; echo "Z:${p//\//\\}"; }
  SAVE_COMMAND="$(winpath "$BIN/pdm-save.exe")"
  PDM_SAVE_LOG="$(winpath "$WORK/pdm-save.log")"
  # Wine under a software CPU (winevm/) starts the save command more slowly,
  # and a loaded machine more slowly still; the wait ends as soon as the
  # record is there, so a long one costs nothing when the save works.
  host() { wine "$BIN/zelview-sim.exe" "$@" --auto-ok --wait-save $((15 * ${ZEL_WINE_TIMEOUT_SCALE:-1})); }
  register() { wine regsvr32 /s "$(winpath "$BIN/ZelDMAgent.dll")"; }
else
  winpath() { echo "$1"; }
  SAVE_COMMAND="$BIN/pdm-save"
  PDM_SAVE_LOG="$WORK/pdm-save.log"
  host() { "$BIN/zelview-sim" "$@"; }
  register() { :; }
fi

fail() { echo "FAILED: $*"; FAILURES=$((FAILURES + 1)); }
# Runs the host; its output, line ends stripped, goes to $WORK/out.
run_host() {
  host "$@" >"$WORK/out.raw" 2>"$WORK/err.raw"
  STATUS=$?
  tr -d '\r' <"$WORK/out.raw" >"$WORK/out"
  tr -d '\r' <"$WORK/err.raw" >"$WORK/err"
  cat "$WORK/out" "$WORK/err"
}
expect_status() { [ "$STATUS" -eq "$1" ] || fail "exit status $STATUS, expected $1"; }
expect_line() { grep -qF -- "$1" "$WORK/${2:-out}" || fail "no line with: $1"; }
expect_no_line() { ! grep -qF -- "$1" "$WORK/${2:-out}" || fail "unexpected line with: $1"; }
present() {  # example, then the launch file under the one name every session uses
  sed "s#@PDM_SAVE@#${SAVE_COMMAND//\\/\\\\}#" "$EXAMPLES/$1" >"$WORK/session.zvl"
}
recorded_lines() { [ -f "$WORK/pdm-save.log" ] && tr -d '\r' <"$WORK/pdm-save.log" | grep -c . || echo 0; }

LAUNCH="$(winpath "$WORK/session.zvl")"
DATA="$(winpath "$WORK/agent-data.txt")"
register || fail "regsvr32 failed"

case "$CASE" in
pdm-then-plain)
  present drawing-2d.zvl
  run_host "$LAUNCH" --agent-data "$DATA" --save-markup "$(winpath "$WORK/viewer-temp/bracket_mine.xml")" \
    --save-markup "$(winpath "$WORK/viewer-temp/bracket_review.xml")"
  expect_status 0
  expect_line "OpenStream           S_OK"
  expect_line "LoadDocumentMarkups  S_OK"
  expect_line "2D Markup enabled, flag 1"
  expect_line "PreserveExtensions   1 after BeginMarkup"
  expect_line "PreserveExtensions   0 after EndMarkup"
  expect_line "recorded             [MarkupSave] [S-20240611-0042] [C:\\PDM\\vault\\BRK-1001\\bracket.dwg] [bracket_mine.xml] [ZelView]"
  expect_line "You do not have permission to update markup"
  expect_line "layer 2, made read-only by the agent"
  expect_line "layer 3, writable"
  expect_line "object id          MK-7731"
  expect_line "every viewer reference the agent took was released"
  # The agent's decisions as the debug output channel carried them, the
  # session identifier masked.
  expect_line "-- the agent's debug output (3 lines)"
  expect_line "ZelDMAgent: save launched: "
  expect_line " MarkupSave S-20...(15 chars) C:\\PDM\\vault\\BRK-1001\\bracket.dwg bracket_mine.xml ZelView"
  expect_line "ZelDMAgent: save refused: message 105 (the markup is read-only)"
  expect_no_line "S-20240611-0042 C:"
  # The refusal as an event of the Application log (natively its stand-in).
  expect_line "-- the agent's event log ("
  if [ "$MODE" = native ]; then
    expect_line "event 105, Information: A markup save was refused (message 105): the markup is read-only"
  fi
  [ "$(recorded_lines)" = 1 ] || fail "the save command ran $(recorded_lines) times, expected once (the read markup is refused)"

  # The plain session under the same launch file path restores the view list.
  present plain-session.zvl
  run_host "$LAUNCH" --agent-data "$DATA"
  expect_status 0
  expect_line "agent data           loaded"
  expect_line "plain session: the view list was restored from the agent data"
  expect_line "object id            BRK-1001"
  expect_line "PDM host:port        pdm.example.com:8080"
  expect_line "markup layers (3)"
  expect_line "[1] C:\\PDM\\vault\\BRK-1001\\bracket_mine.xml"
  expect_line "every viewer reference the agent took was released"
  ;;
model-3d)
  present model-3d.zvl
  run_host "$LAUNCH" --trace --save-markup "$(winpath "$WORK/viewer-temp/gearbox_design_review.xml")" \
    --save-markup "$(winpath "$WORK/viewer-temp/gearbox_notes.xml")"
  expect_status 0
  expect_line "3D (from the server file's extension)"
  expect_line "3D Markup enabled, flag 1"
  expect_line "You do not have permission to update markup"
  expect_line "[gearbox_notes.xml]"
  # 3D documents have no read-only layers, whatever the access right.
  expect_no_line "made read-only"
  expect_line "I3DDocument::LoadMarkupFile"
  expect_line "every viewer reference the agent took was released"
  ;;
settings-root)
  export NUV_REG_ROOT='Software\Example\Viewer'
  present drawing-2d.zvl
  run_host "$LAUNCH" --save-markup "$(winpath "$WORK/viewer-temp/bracket_review.xml")"
  expect_status 0
  expect_line "PreserveExtensions   1 after BeginMarkup (HKCU\\Software\\Example\\Viewer\\ZelPDM)"
  expect_line "PreserveExtensions   0 after EndMarkup"
  if [ "$MODE" = native ]; then expect_line "Viewer: You do not have permission" ; fi
  expect_line "refused"
  ;;
errors)
  run_host "$(winpath "$WORK/missing.zvl")"
  expect_status 3
  expect_line "zelview-sim: cannot read the launch file" err
  run_host --kind 4d x.zvl
  expect_status 2
  expect_line "--kind takes pdf, 2d or 3d" err
  printf '[ServerFile]\nServerPath=C:\\x\\part.xyz\n' >"$WORK/session.zvl"
  run_host "$LAUNCH"
  expect_status 3
  expect_line "give --kind pdf|2d|3d" err
  present drawing-2d.zvl
  if [ "$MODE" = native ]; then
    mkdir -p "$WORK/lonely"
    cp "$BIN/zelview-sim" "$BIN/libNUVComCreate.so" "$WORK/lonely/"
    host() { "$WORK/lonely/zelview-sim" "$@"; }
    run_host "$LAUNCH"
    expect_status 3
    expect_line "libZelDMAgent.so is missing" err
  else
    wine regsvr32 /s /u "$(winpath "$BIN/ZelDMAgent.dll")"
    run_host "$LAUNCH"
    expect_status 3
    expect_line "the agent is not registered" err
    register
  fi
  ;;
helper-keeps-agent)
  # The same two sessions with a viewer whose helper keeps the agent it is
  # given: the agent outlives the viewer's own reference and dies only when
  # the helper lets go of it.
  present drawing-2d.zvl
  run_host "$LAUNCH" --helper-keeps-agent --agent-data "$DATA" \
    --save-markup "$(winpath "$WORK/viewer-temp/bracket_mine.xml")"
  expect_status 0
  expect_line "keeps a reference on the agent until the session ends"
  expect_line "LoadDocumentMarkups  S_OK"
  expect_line "SaveViewList         S_OK"
  expect_line "[bracket_mine.xml]"
  expect_line "every viewer reference the agent took was released"
  expect_no_line "outlived"
  present plain-session.zvl
  run_host "$LAUNCH" --helper-keeps-agent --agent-data "$DATA"
  expect_status 0
  expect_line "plain session: the view list was restored from the agent data"
  expect_line "every viewer reference the agent took was released"
  ;;
*) fail "unknown case $CASE" ;;
esac

[ "$FAILURES" -eq 0 ] && echo "PASSED: $CASE ($MODE)"
exit $((FAILURES > 0))
