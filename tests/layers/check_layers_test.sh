#!/usr/bin/env bash
# The layering check passes on the tree, and fails, naming the file, on a copy of the tree with
# each kind of breach put in.
set -uo pipefail
root=$1
check=$root/scripts/check-layers
"$check" "$root" || { echo "the tree itself breaks the layering"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
status=0
breach() { # description, file, line to append, expected message
  rm -rf "$work/tree"; mkdir -p "$work/tree"
  for folder in common frame host services payment statement bank; do cp -r "$root/$folder" "$work/tree/"; done
  printf '%s\n' "$3" >>"$work/tree/$2"
  if output=$("$check" "$work/tree"); then
    echo "not caught: $1"; status=1
  elif ! grep -qF "$4" <<<"$output"; then
    echo "caught, but not said: $1 (wanted: $4)"; echo "$output"; status=1
  fi
}
breach "a Windows header in the portable core" payment/amount_format.cpp '#include <windows.h>' \
  'payment/amount_format.cpp: portable file includes platform header <windows.h>'
breach "a generated interface header in the portable core" statement/transaction_record.h '#include "trelk_ebanking.h"' \
  'statement/transaction_record.h: portable file includes generated header "trelk_ebanking.h"'
breach "a Windows-layer header in the portable core" common/ole_date.cpp '#include "common/narrow_text_win.h"' \
  'common/ole_date.cpp: portable file includes Windows-layer header "common/narrow_text_win.h"'
breach "a folder reaching up" statement/import_statement_win.cpp '#include "bank/bank_win.h"' \
  'statement/ may not include bank/'
breach "the frame knowing a class outside the class table" frame/module_win.cpp '#include "services/service_object_win.h"' \
  'frame/ may not include services/'
# A portable source named _win: remove its one Windows include from a copy.
rm -rf "$work/tree"; mkdir -p "$work/tree"
for folder in common frame host services payment statement bank; do cp -r "$root/$folder" "$work/tree/"; done
printf '#include <string>\nint f() { return 0; }\n' >"$work/tree/payment/plain_win.cpp"
if output=$("$check" "$work/tree") || ! grep -qF 'payment/plain_win.cpp: named _win but includes nothing' <<<"$output"; then
  echo "not caught: a portable source named _win"; status=1
fi
[ $status -eq 0 ] && echo "every breach caught"
exit $status
