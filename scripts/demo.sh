#!/usr/bin/env bash
# Builds the installer and runs it under Wine on a demo prefix seeded with
# sample image editors. With a display it opens the window there; without one
# it runs under Xvfb, saves a screenshot, prints its path and closes it.
# Usage: scripts/demo.sh [BUILD_DIR]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
bash "$top/scripts/setup-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j2 --target LumivortexSetup

. "$top/scripts/wine-env.sh"
export WINEPREFIX=$build/demo-prefix
interactive=1
if [ -z "${DISPLAY:-}" ]; then
  interactive=0
  . "$top/scripts/xvfb.sh"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the demo prefix $WINEPREFIX (64-bit Windows) ..."
  bash "$top/scripts/wine-prefix.sh" start "$WINEPREFIX" win64 >/dev/null
fi
wineserver -p60 </dev/null >/dev/null 2>&1 || true

# Sample editors: Photoshop in both registry views, Paint Shop Pro, Fireworks.
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/Program Files/Adobe/Photoshop 2024 (64 Bit)/Plug-ins" \
         "$drive/Program Files (x86)/Adobe/Photoshop CS4/Plug-ins" \
         "$drive/Program Files/Corel/Paint Shop Pro X2/PlugIns" \
         "$drive/Program Files (x86)/Macromedia/Fireworks 8/Plug-ins"
reg() { wine reg add "$@" /f </dev/null >/dev/null 2>&1; }
reg 'HKLM\SOFTWARE\Adobe\Photoshop\130.0' /v PluginPath /d 'C:\Program Files\Adobe\Photoshop 2024 (64 Bit)\Plug-ins\' /reg:64
reg 'HKLM\SOFTWARE\Adobe\Photoshop\11.0' /v PluginPath /d 'C:\Program Files (x86)\Adobe\Photoshop CS4\Plug-ins\' /reg:32
reg 'HKLM\SOFTWARE\Corel\Paint Shop Pro\X2' /v PluginFolder /d 'C:\Program Files\Corel\Paint Shop Pro X2\PlugIns' /reg:32
reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\fireworks.exe' /ve /d 'C:\Program Files (x86)\Macromedia\Fireworks 8\Fireworks.exe' /reg:32

exe=$build/LumivortexSetup.exe
if [ $interactive = 1 ]; then
  echo "Running $exe on $DISPLAY (close it with CANCEL or Escape)"
  wine "$exe" </dev/null
  exit 0
fi
wine "$exe" </dev/null >/dev/null 2>&1 &
pid=$!
sleep 6
shot=$build/demo-screenshot.png
import -display "$DISPLAY" -window root -crop 600x320+340+352 +repage "$shot" 2>/dev/null \
  || import -display "$DISPLAY" -window root "$shot"
echo "No display: ran under Xvfb. Screenshot of the installer window: $shot"
wineserver -k </dev/null >/dev/null 2>&1 || true
wait $pid 2>/dev/null || true
[ -n "${LV_XVFB_PID:-}" ] && kill "$LV_XVFB_PID" 2>/dev/null || true
