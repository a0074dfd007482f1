#!/usr/bin/env bash
# The generated tables of docs/host-guide.md (members and dispatch ids of every interface, the
# result texts) against the type libraries and the DLL of this build: any difference fails and is
# shown. With --update the guide's tables are rewritten instead.
#   host_guide_check.sh [--update] WINE_RUN TOOL GUIDE DLL COMPONENT.tlb HOST.tlb...
set -uo pipefail
update=no
[ "${1:-}" = --update ] && { update=yes; shift; }
wine=$1 tool=$2 guide=$3; shift 3
tables=$("$wine" "$tool" "$@" | tr -d '\r') || { echo "FAILED: $tool"; exit 1; }
grep -q '^<!-- generated: end -->$' <<<"$tables" || { echo "FAILED: $tool wrote no tables"; exit 1; }
committed=$(sed -n '/^<!-- generated: interfaces -->$/,/^<!-- generated: end -->$/p' "$guide")
if [ "$update" = yes ]; then
  TABLES=$tables perl -0777 -i -pe 's/^<!-- generated: interfaces -->\n.*?^<!-- generated: end -->\n/$ENV{TABLES}\n/ms' "$guide"
  echo "host guide: tables updated"
  exit 0
fi
if [ "$tables" != "$committed" ]; then
  echo "FAILED: the tables of $guide differ from the type libraries (< guide, > libraries):"
  diff <(echo "$committed") <(echo "$tables") | head -n 40
  exit 1
fi
echo "host guide: tables match the type libraries"
