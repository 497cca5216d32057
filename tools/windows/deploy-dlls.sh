#!/usr/bin/env bash
# Copies into a release folder every DLL its programs and plugins import that
# one of the given folders holds, and what those import in turn. An import
# found nowhere must be one of Windows' own DLLs, or the folder would not
# start on a clean Windows.
#   deploy-dlls.sh RELEASE_DIR DLL_DIR...
set -euo pipefail
release=$1
shift
objdump=x86_64-w64-mingw32-objdump

# Windows' own, present on every Windows 10 and 11 (lower case).
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
 ws2_32.dll msvcrt.dll uxtheme.dll dwmapi.dll imm32.dll winmm.dll version.dll netapi32.dll
 userenv.dll mpr.dll crypt32.dll bcrypt.dll wtsapi32.dll setupapi.dll comdlg32.dll
 winspool.drv dnsapi.dll iphlpapi.dll secur32.dll ntdll.dll normaliz.dll wldap32.dll
 shlwapi.dll comctl32.dll d3d9.dll d3d11.dll dxgi.dll shcore.dll authz.dll "
system_dlls=" $(echo $system_dlls) "

imports() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'; }

queue=()
while IFS= read -r -d '' file; do queue+=("$file"); done < <(find "$release" -iname '*.exe' -print0 -o -iname '*.dll' -print0)
missing=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(imports "$file"); do
        # Already shipped (the name's case differs between import and file).
        [ -n "$(find "$release" -maxdepth 1 -iname "$dll" | head -n1)" ] && continue
        found=""
        for dir in "$@"; do
            found=$(find "$dir" -maxdepth 1 -iname "$dll" | head -n1)
            [ -n "$found" ] && break
        done
        if [ -n "$found" ]; then
            cp "$found" "$release/"
            queue+=("$release/$(basename "$found")")
        elif [[ $system_dlls != *" $dll "* && $dll != api-ms-win-* ]]; then
            missing+=("$dll (imported by $(basename "$file"))")
        fi
    done
done
if [ ${#missing[@]} -gt 0 ]; then
    printf 'not found in the SDK and not part of Windows: %s\n' "${missing[@]}" >&2
    exit 1
fi
