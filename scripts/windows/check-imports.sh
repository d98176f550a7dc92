#!/usr/bin/env bash
# Fails when a program or DLL in FOLDER imports a DLL that is neither in FOLDER nor one that
# every Windows 10/11 has: a package that would not start on a clean PC.
set -euo pipefail
folder="${1:?usage: check-imports.sh FOLDER}"
system='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|comctl32|imm32|winmm|ws2_32|version|uxtheme|dwmapi|shlwapi|setupapi|netapi32|userenv|wtsapi32|d3d9|d3d11|dxgi|d2d1|dwrite|authz|mpr|msvcrt|ucrtbase|api-ms-win-.*|bcrypt|crypt32|secur32|rpcrt4|powrprof|cfgmgr32|dxva2|wintrust|ntdll|shcore)\.dll$'
status=0
while IFS= read -r -d '' file; do
  while read -r dll; do
    lower="$(echo "$dll" | tr 'A-Z' 'a-z')"
    [[ "$lower" =~ $system ]] && continue
    if ! find "$folder" -maxdepth 1 -iname "$dll" | grep -q .; then
      echo "check-imports: ${file#$folder/} needs $dll, which the package lacks" >&2
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)
exit $status
