#!/bin/sh
# Runs a test program of the misbehaving-host checks under Wine: OANOCACHE=1 so every BSTR free
# reaches task memory (where the tests' IMallocSpy sees it), and Wine's heap checking, failing on
# any heap warning it prints (a double SysFreeString or HeapFree of the process heap; the static
# C runtime's malloc is not covered).
#   run_checked.sh WINE_RUN PROGRAM ARGUMENTS...
wine_run=$1; shift
log=$(mktemp)
OANOCACHE=1 WINEDEBUG=warn+heap "$wine_run" "$@" 2>"$log"
status=$?
if grep -E '(warn|err):heap' "$log" >/dev/null; then
  echo "heap warnings:" >&2
  grep -m 20 -E '(warn|err):heap' "$log" >&2
  status=1
fi
grep -v -E ':(warn|err|fixme|trace):' "$log" >&2
rm -f "$log"
exit $status
