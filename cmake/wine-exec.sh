#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build tree's private
# prefix. Used as CMake's cross-compiling emulator.
set -e
: "${WINEPREFIX:=${ZEL_WINEPREFIX:-$(pwd)/wineprefix}}"
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
