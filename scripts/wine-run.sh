#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]: run a Windows program in the given prefix.
# The exit code is the program's own.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$1
shift
exec wine "$@" </dev/null
