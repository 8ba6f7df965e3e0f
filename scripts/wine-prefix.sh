#!/usr/bin/env bash
# wine-prefix.sh start DIR win64|win32   create a fresh throwaway prefix, start a warm server
# wine-prefix.sh stop DIR                shut the prefix's server down
# Never touches ~/.wine: every prefix lives where the caller says.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
cmd=$1 dir=$2
export WINEPREFIX=$dir
case $cmd in
start)
  arch=$3
  # A stale server of an earlier run would keep the old registry alive.
  [ -d "$dir" ] && { wineserver -k </dev/null >/dev/null 2>&1 || true; wineserver -w </dev/null >/dev/null 2>&1 || true; }
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  if [ "$arch" = win32 ]; then export WINEARCH=win32; fi
  # Wine's helper processes inherit the standard streams; keep them off ctest's pipe.
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1 || true
  unset WINEARCH
  wineserver -p60 </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1 || true
  [ -f "$dir/system.reg" ] || { echo "prefix $dir was not created" >&2; exit 1; }
  echo "prefix $dir ($arch) ready"
  ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  ;;
*) echo "usage: $0 start DIR win64|win32 | stop DIR" >&2; exit 2 ;;
esac
