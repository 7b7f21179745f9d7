#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, quietly.
export WINEPREFIX="${KAVO_WINEPREFIX:?KAVO_WINEPREFIX names the Wine prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
