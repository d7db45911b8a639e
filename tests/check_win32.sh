#!/usr/bin/env bash
# The x86 build cannot run here; check that it holds 32-bit Windows images.
set -u
cd "$(dirname "$0")/.."
fail=0
for f in Velmorax.exe VelRes.dll VelZmbv.dll; do
    for arch in win32 win64; do
        path="dist/$arch/$f"
        if [ ! -f "$path" ]; then echo "missing: $path"; fail=1; continue; fi
        kind=$(file -b "$path")
        case "$arch" in
            win32) want="PE32 executable" ; bad="PE32+" ;;
            win64) want="PE32+ executable" ; bad="Intel 80386" ;;
        esac
        if [[ "$kind" != *"$want"* || "$kind" == *"$bad"* ]]; then
            echo "wrong image: $path: $kind"; fail=1
        fi
        if [ "$arch" = win32 ] && [[ "$kind" != *"Intel 80386"* ]]; then
            echo "not i386: $path: $kind"; fail=1
        fi
    done
    # No MinGW runtime DLL may be needed beside the program.
    if x86_64-w64-mingw32-objdump -p "dist/win64/$f" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
        echo "needs a MinGW DLL: dist/win64/$f"; fail=1
    fi
    if i686-w64-mingw32-objdump -p "dist/win32/$f" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
        echo "needs a MinGW DLL: dist/win32/$f"; fail=1
    fi
done
# The codec's driver is found by its export's plain name on both.
for arch in win32 win64; do
    tool=x86_64-w64-mingw32-objdump
    [ "$arch" = win32 ] && tool=i686-w64-mingw32-objdump
    if ! "$tool" -p "dist/$arch/VelZmbv.dll" 2>/dev/null | grep -qE '^\s*\[ *[0-9]+\] DriverProc$'; then
        echo "no DriverProc export: dist/$arch/VelZmbv.dll"; fail=1
    fi
done
for f in Velmorax.hlp Velmorax.cnt readme.txt file_id.diz; do
    for arch in win32 win64; do [ -s "dist/$arch/$f" ] || { echo "missing: dist/$arch/$f"; fail=1; }; done
done
[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
