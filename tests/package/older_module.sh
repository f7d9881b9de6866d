#!/usr/bin/env bash
# The module of the tests' older release: a copy of the built DLL whose fixed
# file version (what installers compare) says 1.0.0.0, so that a newer
# package has a newer file to put in its place.
#   older_module.sh BUILT.dll OLDER.dll
set -euo pipefail
built="$1" older="$2"
# The fixed information follows the resource's UTF-16 key (padded to 4
# bytes); its signature 0xFEEF04BD and structure version come first.
key='V\x00S\x00_\x00V\x00E\x00R\x00S\x00I\x00O\x00N\x00_\x00I\x00N\x00F\x00O\x00\x00\x00(?:\x00\x00)?'
offset="$(LC_ALL=C grep -obUaP "$key"'\K\xBD\x04\xEF\xFE' "$built" | head -1 | cut -d: -f1)"
[ -n "$offset" ] || { echo "older_module.sh: $built has no fixed file information" >&2; exit 1; }
mkdir -p "$(dirname "$older")"
cp "$built" "$older.partial"
# File and product version, each 1.0 (high word) and 0.0 (low word).
printf '\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00' \
  | dd of="$older.partial" bs=1 seek=$((offset + 8)) conv=notrunc status=none
mv "$older.partial" "$older"
