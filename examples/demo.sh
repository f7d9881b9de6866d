#!/usr/bin/env bash
# Two viewing sessions against the stand-in viewer:
#   1. a PDM view list for a 2D drawing: markups loaded (the "read" one
#      read-only), the user's own markup saved through the PDM's save command,
#      the colleague's read-only markup refused;
#   2. a plain viewer session presented under the same launch file path,
#      which restores the view list from the agent data the first one left.
# Usage: examples/demo.sh win32|native   (./run demo builds first)
set -euo pipefail
MODE="${1:-win32}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
EXAMPLES="$ROOT/examples"
DIST="$ROOT/dist/$MODE"
# The stand-in viewer and the sample save command; under Wine apart from what
# ships, natively beside the agent.
TOOLS="$DIST"
WORK="$ROOT/build/demo-$MODE"

rm -rf "$WORK" && mkdir -p "$WORK/viewer-temp"

if [ "$MODE" = win32 ]; then
  export WINEPREFIX="${WINEPREFIX:-$ROOT/build/win32/wineprefix}" WINEARCH=win32 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
  winpath() { local p="$1"; echo "Z:${p//\//\\}"; }
  TOOLS="$ROOT/dist/win32-tools"
  SIM=(wine "$TOOLS/zelview-sim.exe")
  SAVE_COMMAND="$(winpath "$TOOLS/pdm-save.exe")"
elif [ "$MODE" = native ]; then
  winpath() { echo "$1"; }
  SIM=("$TOOLS/zelview-sim")
  SAVE_COMMAND="$TOOLS/pdm-save"
  # The native agent and viewer share a registry file instead of the registry.
  export NUV_REGISTRY_FILE="$WORK/registry"
else
  echo "usage: $0 win32|native" >&2
  exit 2
fi
export PDM_SAVE_LOG
# Wine under a software CPU (winevm/) starts the save command more slowly.
WAIT_SAVE=$((5 * ${ZEL_WINE_TIMEOUT_SCALE:-1}))
PDM_SAVE_LOG="$(winpath "$WORK/pdm-save.log")"
LAUNCH="$(winpath "$WORK/session.zvl")"
DATA="$(winpath "$WORK/agent-data.txt")"

# Every session opens the launch file under the same path: the agent finds
# the stored view list by that path.
present() {
  sed "s#@PDM_SAVE@#${SAVE_COMMAND//\\/\\\\}#" "$EXAMPLES/$1" >"$WORK/session.zvl"
  echo
  echo "### $2   ($1 presented as $LAUNCH)"
}

sessions() {
  if [ "$MODE" = win32 ]; then
    # regsvr32 loads the agent, which needs the viewer's library: found on
    # the path, as the stand-in viewer's lies apart from what ships.
    echo "### registering $(winpath "$DIST/ZelDMAgent.dll") (NUVComCreate.dll from $(winpath "$TOOLS"))"
    WINEPATH="$(winpath "$TOOLS")" wine regsvr32 /s "$(winpath "$DIST/ZelDMAgent.dll")"
  fi
  present drawing-2d.zvl "session 1: PDM view list of a 2D drawing"
  "${SIM[@]}" "$LAUNCH" --agent-data "$DATA" --auto-ok --wait-save "$WAIT_SAVE" \
    --save-markup "$(winpath "$WORK/viewer-temp/bracket_mine.xml")" \
    --save-markup "$(winpath "$WORK/viewer-temp/bracket_review.xml")"
  present plain-session.zvl "session 2: plain viewer session, view list restored from the agent data"
  "${SIM[@]}" "$LAUNCH" --agent-data "$DATA" --auto-ok
  if [ "$MODE" = win32 ]; then wineserver -w; fi
}

if [ "$MODE" = win32 ] && [ "${2:-}" != --inside-display ]; then
  # One display for everything Wine runs: the refused save shows a message box.
  wineserver -w 2>/dev/null || true
  xvfb-run -a -s '-screen 0 1024x768x24' bash "$0" win32 --inside-display | tr -d '\r'
  exit "${PIPESTATUS[0]}"
fi
sessions

echo
echo "### what the PDM save command (pdm-save) recorded in $PDM_SAVE_LOG"
tr -d '\r' <"$WORK/pdm-save.log" 2>/dev/null || echo "(nothing)"
