#!/usr/bin/env bash
# Checks what the built module shows the loader: exactly the four entry
# points (by name, ordinals 1 to 4 in the DLL) and, for the DLL, imports from
# no library beyond the allowed ones.
#   check_module_binary.sh win32 <objdump> <ZelDMAgent.dll>
#   check_module_binary.sh native <nm> <libZelDMAgent.so>
set -euo pipefail
kind=$1 tool=$2 file=$3
expected_exports=$'DllCanUnloadNow\nDllGetClassObject\nDllRegisterServer\nDllUnregisterServer'
fail() { echo "FAIL: $*" >&2; exit 1; }

if [[ $kind == native ]]; then
  exports=$("$tool" -D --defined-only "$file" | awk '$2 ~ /^[TtWw]$/ {print $3}' | sort)
  [[ $exports == "$expected_exports" ]] || fail "exports are: $exports"
  echo "native exports ok"
  exit 0
fi

dump=$("$tool" -p "$file")
allowed='^(kernel32|user32|advapi32|ole32|oleaut32|msvcrt|nuvcomcreate)\.dll$'
while read -r dll; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  [[ $lower =~ $allowed ]] || fail "imports $dll"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

grep -q 'Ordinal Base[[:space:]]*1' <<<"$dump" || grep -q 'Ordinal Base 1' <<<"$dump" || fail "ordinal base is not 1"
grep -Eq 'Export Address Table[[:space:]]+00000004$' <<<"$dump" || fail "not exactly four exported addresses"
# In the name table, "	[   0] DllCanUnloadNow" gives the ordinal less the base.
names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)$/\1 \2/p')
expected_names=$'0 DllCanUnloadNow\n1 DllGetClassObject\n2 DllRegisterServer\n3 DllUnregisterServer'
[[ $names == "$expected_names" ]] || fail "export names are: $names"
echo "dll imports and exports ok"
