#!/usr/bin/env bash
# Every Windows program of the build imports only DLLs that come with Windows: the
# compiler's run-time is linked in, and no library of the build machine slipped in.
# Prints each program's imports. The game and the simulator carry their manifest
# as the loader reads it, resource 1 of type 24, read back from the program by
# windres: per-monitor DPI awareness, UTF-8, long paths, Windows 8 to 11, run as
# the one who started it.
# Usage: windows_imports_test.sh <objdump> <windres> <folder with the .exe files>
set -euo pipefail
objdump=$1 windres=$2 folder=$3
# Kernel, C run-time, windows and drawing, COM, images, sound, and the shell.
system_dlls=" kernel32.dll msvcrt.dll user32.dll gdi32.dll opengl32.dll glu32.dll ole32.dll
  oleaut32.dll advapi32.dll windowscodecs.dll xaudio2_8.dll shell32.dll imm32.dll "
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

# The manifest's text, from the resource as windres writes it out as a script.
manifest() {
  "$windres" -i "$1" -O rc | awk '/^1 24 / { on = 1; next } on && /^END/ { exit }
    on && /^ *"/ { sub(/^ *"/, ""); sub(/"$/, ""); gsub(/""/, "\""); sub(/\\n$/, ""); print }'
}
ms=http://schemas.microsoft.com/SMI
settings=("<dpiAwareness xmlns=\"$ms/2016/WindowsSettings\">PerMonitorV2"
  "<dpiAware xmlns=\"$ms/2005/WindowsSettings\">true/pm<"
  "<activeCodePage xmlns=\"$ms/2019/WindowsSettings\">UTF-8<"
  "<longPathAware xmlns=\"$ms/2016/WindowsSettings\">true<" 'level="asInvoker"'
  # Windows 8, 8.1, and 10 and 11
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)
for exe in "$folder/jellyquake.exe" "$folder/jellyquake-sim.exe"; do
  text=$(manifest "$exe")
  for setting in "${settings[@]}"; do
    if [[ $text != *"$setting"* ]]; then
      echo "FAIL: $(basename "$exe")'s manifest lacks $setting"
      failures=$((failures + 1))
    fi
  done
  # Well-formed, or Windows refuses to start the program at all.
  if ! printf '%s\n' "$text" | xmllint --noout - 2>&1; then
    echo "FAIL: $(basename "$exe")'s manifest is not well-formed XML"
    failures=$((failures + 1))
  fi
done
[ "$failures" = 0 ]
