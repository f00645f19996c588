#!/bin/sh
# Runs a Windows program under Wine and exits with the program's exit code.
# Usage: wine-run.sh <wine prefix> <program.exe> [arguments...]
# The prefix is created on first use; parallel first uses wait for one another.
set -eu

prefix=$1
shift

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko install prompts while the prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            wine wineboot --init >/dev/null 2>&1
            wineserver -w
        fi
    ) 9>"$prefix.lock"
fi

exec wine "$@"
