#!/usr/bin/env bash
# What dist/win32 hands to administrators, as built: only what ships (the DLL,
# its symbols file, the installer package, the Group Policy template), the
# DLL without debug sections or symbols and naming its symbols file with the
# right checksum, and no folder of the build machine in the DLL, the symbols
# or the package.
#   tests/package/check_dist.sh [repository root]
set -uo pipefail
ROOT="$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../..}" && pwd)"
DIST="$ROOT/dist/win32"
DLL="$DIST/ZelDMAgent.dll"
SYMBOLS="$DLL.debug"
OBJDUMP="${OBJDUMP:-i686-w64-mingw32-objdump}"
OBJCOPY="${OBJCOPY:-i686-w64-mingw32-objcopy}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "dist: $*"; failures=$((failures + 1)); }

if [ ! -f "$DLL" ]; then
  echo "dist: no $DLL (./run build first)"
  exit 1
fi

# Only what ships: a stand-in or a tool here could reach a real machine.
(cd "$DIST" && find . -type f | sed 's#^\./##' | sort) >"$WORK/files"
grep -vxE 'ZelDMAgent\.dll|ZelDMAgent\.dll\.debug|ZelDMAgent-[0-9.]+\.msi|PolicyDefinitions/ZelDMAgent\.admx|PolicyDefinitions/en-US/ZelDMAgent\.adml' \
  "$WORK/files" | sed 's/^/does not ship: /' >"$WORK/extra"
while read -r line; do fail "$line"; done <"$WORK/extra"
for expected in ZelDMAgent.dll.debug PolicyDefinitions/ZelDMAgent.admx PolicyDefinitions/en-US/ZelDMAgent.adml; do
  grep -qxF "$expected" "$WORK/files" || fail "missing: $expected"
done
[ "$(grep -cE '^ZelDMAgent-[0-9.]+\.msi$' "$WORK/files")" = 1 ] || fail "not one installer package"

# The debug information lives in the symbols file alone.
"$OBJDUMP" -h "$DLL" >"$WORK/sections" || fail "objdump cannot read the DLL"
grep -qE ' \.debug_' "$WORK/sections" && fail "the DLL carries debug sections: $(grep -oE '\.debug_\w+' "$WORK/sections" | xargs)"
"$OBJDUMP" -t "$DLL" | grep -q '^\[ *[0-9]' && fail "the DLL carries a symbol table"
"$OBJDUMP" -h "$SYMBOLS" 2>/dev/null | grep -q ' \.debug_info' || fail "the symbols file holds no debug information"

# .gnu_debuglink: the symbols file's name, padding to four bytes, its CRC-32.
if "$OBJCOPY" --dump-section .gnu_debuglink="$WORK/debuglink" "$DLL" "$WORK/copy" 2>/dev/null && [ -s "$WORK/debuglink" ]; then
  python3 - "$WORK/debuglink" "$SYMBOLS" <<'PY' || fail "the DLL's debug link does not name its symbols file"
import os, struct, sys, zlib
link = open(sys.argv[1], "rb").read()
name = link[:link.index(b"\0")].decode()
crc = struct.unpack("<I", link[-4:])[0]
symbols = sys.argv[2]
ok = name == os.path.basename(symbols) and os.path.exists(symbols) and \
    zlib.crc32(open(symbols, "rb").read()) == crc
print(f"dist: debug link to {name}, checksum {'matching' if ok else 'NOT matching'}")
sys.exit(0 if ok else 1)
PY
else
  fail "the DLL has no debug link (.gnu_debuglink)"
fi

# No folder of the build machine, in single-byte or UTF-16 text.
for file in "$DLL" "$SYMBOLS" "$DIST"/ZelDMAgent-*.msi; do
  [ -f "$file" ] || continue
  found="$( { strings -a "$file"; strings -a -el "$file"; } | grep -F "$ROOT" | head -3)"
  [ -z "$found" ] || fail "${file#"$ROOT"/} names the build folder: $found"
done

echo "dist: $(du -b "$DLL" | cut -f1) bytes ZelDMAgent.dll, $(wc -l <"$WORK/files") files"
[ "$failures" = 0 ] && echo "dist: passed" && exit 0
echo "dist: FAILED ($failures)"
exit 1
