#!/usr/bin/env bash
# run.sh [BUILD_DIR] [RUNS]: the release benchmark. Builds LumivortexSetup.exe and the
# benchmark program in BUILD_DIR (default: the repository's build/), makes the NSIS peer
# installer for the same two payloads (makensis, from Debian's nsis package, installed when
# missing), and runs both side by side in one throwaway 64-bit prefix (created in
# BUILD_DIR/wine, removed afterwards) seeded with a Photoshop plug-in folder, under Xvfb
# when there is no display. Then the host scan benchmark (bench/discovery/run.sh).
# Prints a Markdown table of sizes, times and memory, with the machine; always exits 0.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${1:-$top/build}
runs=${2:-7}
mkdir -p "$build"
build=$(cd "$build" && pwd)

if ! command -v makensis >/dev/null; then
  SUDO=
  [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends nsis >/dev/null
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
fi
targets="LumivortexSetup release_bench"
[ -f "$top/bench/discovery/run.sh" ] && targets="$targets discovery_bench"
for t in $targets; do
  cmake --build "$build" -j2 --target "$t" >/dev/null
done

. "$top/scripts/wine-env.sh"
started_xvfb=
if [ -z "${DISPLAY:-}" ]; then
  . "$top/scripts/xvfb.sh"
  started_xvfb=${LV_XVFB_PID:-}
fi
work=$build/bench-release
prefix=$build/wine/bench-release
cleanup() {
  bash "$top/scripts/wine-prefix.sh" stop "$prefix" >/dev/null 2>&1 || true
  rm -rf "$prefix"
  [ -n "$started_xvfb" ] && kill "$started_xvfb" 2>/dev/null || true
  return 0
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"

# The payloads our build carries (from its generated resource lines), for the peer too.
payload32=$(sed -n 's/^"LUMIVORTEX.8BF" 3000 "\(.*\)"$/\1/p' "$build/generated/payloads.rc")
payload64=$(sed -n 's/^"LUMIVORTEX(X64).8BF" 3001 "\(.*\)"$/\1/p' "$build/generated/payloads.rc")
cp "$payload32" "$work/payload32.8bf"
cp "$payload64" "$work/payload64.8bf"

# The peer: what a plug-in maker would otherwise write. Uncompressed, one directory page whose
# default is the Photoshop PluginPath plus the maker's sub-folder; /D= on the command line wins.
ps_key='SOFTWARE\Adobe\Photoshop\13.0'
ps_folder='C:\Program Files\Adobe\Photoshop CS6\Plug-ins\'
cat >"$work/peer.nsi" <<EOF
Unicode true
Name "Lumivortex filter"
OutFile "LumivortexPeer.exe"
SetCompress off
RequestExecutionLevel admin
Page directory
Page instfiles

Function .onInit
  StrCmp \$INSTDIR "" 0 done
  StrCpy \$INSTDIR "\$PROGRAMFILES\\Kestovan"
  ReadRegStr \$0 HKLM "$ps_key" "PluginPath"
  StrCmp \$0 "" done
  StrCpy \$INSTDIR "\$0Kestovan\\"
done:
FunctionEnd

Section
  SetOutPath "\$INSTDIR"
  File "/oname=Lumivortex.8bf" "payload32.8bf"
  File "/oname=Lumivortex(x64).8bf" "payload64.8bf"
SectionEnd
EOF
makensis -V1 "$work/peer.nsi" >"$work/makensis.log" 2>&1 || { cat "$work/makensis.log"; echo "makensis failed"; exit 0; }

bash "$top/scripts/wine-prefix.sh" start "$prefix" win64 >/dev/null
export WINEPREFIX=$prefix
mkdir -p "$prefix/drive_c/Program Files/Adobe/Photoshop CS6/Plug-ins"
# The 32-bit view: where a 32-bit installer (ours and NSIS alike) reads HKLM by default.
wine reg add "HKLM\\$ps_key" /v PluginPath /d "$ps_folder" /reg:32 /f </dev/null >/dev/null 2>&1

win() { printf 'Z:%s' "${1//\//\\}"; }
echo "## Release benchmark: LumivortexSetup.exe beside an NSIS installer"
echo
echo "Machine: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) cores;" \
  "$(uname -sr); $(wine --version); display $DISPLAY; $(date -u +%Y-%m-%d);" \
  "load average at start $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Peer: $(makensis -VERSION) (makensis), SetCompress off, Unicode, one directory page + install page."
echo
bash "$top/scripts/wine-run.sh" "$prefix" "$build/bench/release/release_bench.exe" \
  "$(win "$build/LumivortexSetup.exe")" "$(win "$work/LumivortexPeer.exe")" \
  "$(win "$work/payload32.8bf")" "$(win "$work/payload64.8bf")" \
  "${ps_folder}Kestovan" "$runs" 2>&1 || echo "(release_bench failed: exit $?)"
bash "$top/scripts/wine-prefix.sh" stop "$prefix" >/dev/null 2>&1 || true

echo
echo "### Host scan on a large seeded registry (bench/discovery)"
echo
if [ -f "$build/bench/discovery/discovery_bench.exe" ]; then
  echo '```'
  bash "$top/bench/discovery/run.sh" "$build" win64 2>&1 | grep -v '^== ' || echo "(discovery benchmark failed)"
  echo '```'
else
  echo "(not built: bench/discovery is missing)"
fi
exit 0
