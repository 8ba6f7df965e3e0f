#!/usr/bin/env bash
# run.sh [BUILD_DIR] [win64|win32 ...]: runs the built discovery benchmark under Wine, each time in a
# fresh throwaway prefix (created in BUILD_DIR/wine, removed afterwards), and prints its figures.
# Builds nothing: BUILD_DIR (default: the repository's build/) must hold bench/discovery/discovery_bench.exe.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
[ $# -gt 0 ] && shift
arches=${*:-win64 win32}
bench=$build/bench/discovery/discovery_bench.exe
[ -f "$bench" ] || { echo "no $bench: build the project first" >&2; exit 1; }
prefix=
cleanup() {
  if [ -n "$prefix" ]; then
    bash "$top/scripts/wine-prefix.sh" stop "$prefix" || true
    rm -rf "$prefix"
  fi
}
trap cleanup EXIT
for arch in $arches; do
  prefix=$build/wine/bench-discovery-$arch
  bash "$top/scripts/wine-prefix.sh" start "$prefix" "$arch" >/dev/null
  echo "== discovery benchmark, $arch prefix"
  bash "$top/scripts/wine-run.sh" "$prefix" "$bench"
  cleanup
  prefix=
done
