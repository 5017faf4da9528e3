#!/usr/bin/env bash
# Every Windows program of the build imports only DLLs that come with Windows: the
# compiler's run-time is linked in, and no library of the build machine slipped in.
# Prints each program's imports.
# Usage: windows_imports_test.sh <objdump> <folder with the .exe files>
set -euo pipefail
objdump=$1 folder=$2
# Kernel, C run-time, windows and drawing, COM, images, sound, and the shell.
system_dlls=" kernel32.dll msvcrt.dll user32.dll gdi32.dll opengl32.dll glu32.dll ole32.dll
  oleaut32.dll advapi32.dll windowscodecs.dll winmm.dll xaudio2_8.dll shell32.dll "
failures=0
shopt -s nullglob
programs=("$folder"/*.exe)
[ ${#programs[@]} -gt 0 ] || { echo "FAIL: no .exe in $folder"; exit 1; }
for exe in "${programs[@]}"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  echo "$(basename "$exe"):" $dlls
  for dll in $dlls; do
    lower=${dll,,}
    if [[ $system_dlls != *" $lower"[[:space:]]* ]]; then
      echo "FAIL: $(basename "$exe") needs $dll, which Windows does not have"
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" = 0 ]
