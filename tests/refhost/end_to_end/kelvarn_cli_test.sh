#!/usr/bin/env bash
# End-to-end checks of the reference host's command line (scripts/kelvarn): each group runs real
# commands through the registered component under Wine and compares the exit code, the whole
# JSON on stdout and the files written. Dates of export runs are computed from today's date.
#   kelvarn_cli_test.sh GROUP    GROUP: info calendar recognise import export usage help text payments
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
fixtures=$root/tests/fixtures
kelvarn=$root/scripts/kelvarn
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect NAME EXIT JSON -- ARGUMENTS...: the command's exit code, and its stdout exactly the JSON
# followed by one line feed.
expect() {
  local name=$1 exit=$2 json=$3
  shift 4
  "$kelvarn" "$@" >"$scratch/stdout" 2>"$scratch/stderr"
  local status=$?
  printf '%s\n' "$json" >"$scratch/expected"
  if [ "$status" -ne "$exit" ]; then
    fail "$name: exit $status, expected $exit"
    sed 's/^/    stderr: /' "$scratch/stderr"
  fi
  if ! cmp -s "$scratch/stdout" "$scratch/expected"; then
    fail "$name: stdout differs"
    diff <(cat -A "$scratch/expected") <(cat -A "$scratch/stdout") | sed 's/^/    /'
  fi
}

# expect_usage NAME -- ARGUMENTS...: exit 2, nothing on stdout, one line on stderr.
expect_usage() {
  local name=$1
  shift 2
  "$kelvarn" "$@" >"$scratch/stdout" 2>"$scratch/stderr"
  local status=$?
  [ "$status" -eq 2 ] || fail "$name: exit $status, expected 2"
  [ ! -s "$scratch/stdout" ] || fail "$name: stdout not empty: $(head -c 200 "$scratch/stdout")"
  local lines
  lines=$(grep -c '' "$scratch/stderr")
  [ "$lines" -eq 1 ] || fail "$name: $lines lines on stderr: $(cat "$scratch/stderr")"
}

# expect_file NAME PATH LINES...: the file holds exactly these lines, each ended by CR LF.
expect_file() {
  local name=$1 path=$2
  shift 2
  printf '%s\r\n' "$@" >"$scratch/expected_file"
  cmp -s "$path" "$scratch/expected_file" ||
    { fail "$name: file $path differs"; diff <(cat -A "$scratch/expected_file") <(cat -A "$path") | sed 's/^/    /'; }
}

# A field of the first object of a JSON answer ("next_banking_day", say).
field() { sed -n "s/^[^{]*{[^}]*\"$1\": \"\\([^\"]*\\)\".*/\\1/p"; }
next_banking_day() { "$kelvarn" calendar "$1" 2>/dev/null | field next_banking_day; }
advance_of() { "$kelvarn" calendar "$1" 2>/dev/null | sed -n 's/^[^{]*{[^}]*"advance": \([0-9]*\).*/\1/p'; }
file_date() { date -d "$1" +%d%m%Y; }

group_info() {
  expect "info" 0 \
    '{"hresult": "0x00000000", "bank": "Kelvarn Bank", "fixed_code": 1, "services": ["Bank Payment Service", "Bank Reconciliation Service"]}' \
    -- info
}

group_calendar() {
  expect "calendar: holiday, weekend, banking day, leap day" 0 \
    '[{"date": "2008-12-25", "banking": false, "advance": 4, "reason": "holiday", "next_banking_day": "2008-12-29"}, {"date": "2009-01-03", "banking": false, "advance": 2, "reason": "weekend", "next_banking_day": "2009-01-05"}, {"date": "2008-12-24", "banking": true, "advance": 0, "reason": "none", "next_banking_day": "2008-12-24"}, {"date": "2008-02-29", "banking": true, "advance": 0, "reason": "none", "next_banking_day": "2008-02-29"}]' \
    -- calendar 2008-12-25 2009-01-03 2008-12-24 2008-02-29
  # Many dates in one call: every day of 2000 to 2013, each answered once, in order.
  local dates=()
  mapfile -t dates < <(seq 0 5113 | sed 's/.*/2000-01-01 + & days/' | date -u -f - +%F)
  "$kelvarn" calendar "${dates[@]}" >"$scratch/many" 2>"$scratch/stderr" || fail "calendar of 5114 dates: exit $?"
  local answered
  answered=$(grep -o '"date": "[0-9-]*"' "$scratch/many" | sed 's/"date": "\(.*\)"/\1/')
  [ "$answered" = "$(printf '%s\n' "${dates[@]}")" ] || fail "calendar of 5114 dates: not every date answered in order"
  expect_usage "calendar: not a date" -- calendar 2009-02-29
}

group_recognise() {
  expect "recognise: the bank's file, another bank's, a missing one" 0 \
    "[{\"path\": \"$fixtures/import/mixed_accounts.txt\", \"recognised\": true, \"description\": \"Kelvarn Bank Statement\"}, {\"path\": \"$fixtures/import/foreign.txt\", \"recognised\": false, \"description\": null}, {\"path\": \"$scratch/missing.txt\", \"recognised\": false, \"description\": null}]" \
    -- recognise "$fixtures/import/mixed_accounts.txt" "$fixtures/import/foreign.txt" "$scratch/missing.txt"
  # More files than a Windows command line holds (about 36,000 characters): each answered.
  local many=() count
  for ((count = 0; count < 600; ++count)); do many+=("$fixtures/import/mixed_accounts.txt"); done
  "$kelvarn" recognise "${many[@]}" >"$scratch/many" 2>"$scratch/stderr" || fail "recognise of 600 files: exit $?"
  count=$(grep -o '"recognised": true, "description": "Kelvarn Bank Statement"' "$scratch/many" | wc -l)
  [ "$count" -eq 600 ] || fail "recognise of 600 files: $count answers"
  # A relative path is the caller's: answered as the absolute path.
  (cd "$fixtures" && "$kelvarn" recognise import/mixed_accounts.txt >"$scratch/relative" 2>/dev/null)
  grep -qF "[{\"path\": \"$fixtures/import/mixed_accounts.txt\", \"recognised\": true" "$scratch/relative" ||
    fail "recognise: a relative path: $(cat "$scratch/relative")"
}

group_import() {
  # The account's records of both volumes, not the other accounts' nor those after the end.
  expect "import: the sample account across two volumes" 0 \
    '{"hresult": "0x00000000", "status": 0, "reset": true, "balance": 0.0, "lines": [{"line_number": 1, "credit": 1, "amount": 100.0, "date": "2007-01-01", "name": "FIRST CREDIT      ", "reference": "REF1               SAMPLE TRADING    "}, {"line_number": 2, "credit": 0, "amount": 1.99, "date": "2007-02-01", "name": "SECOND DEBIT      ", "reference": "REF2               SAMPLE TRADING    "}, {"line_number": 3, "credit": 1, "amount": 0.01, "date": "2008-02-29", "name": "THIRD CREDIT      ", "reference": "REF3               SAMPLE TRADING    "}]}' \
    -- import --statement "$fixtures/import/mixed_accounts.txt" --sort-code 12-34-56 --account-number 12345678
  expect "import: the other account" 0 \
    '{"hresult": "0x00000000", "status": 0, "reset": true, "balance": 0.0, "lines": [{"line_number": 1, "credit": 0, "amount": 50.0, "date": "2007-01-02", "name": "OTHER ACCOUNT     ", "reference": "NOT OURS           OTHER LTD         "}]}' \
    -- import --statement "$fixtures/import/mixed_accounts.txt" --sort-code 654321 --account-number 87654321
  expect "import: a statement without a record of the account" 0 \
    '{"hresult": "0x00000000", "status": 0, "reset": true, "balance": 0.0, "lines": []}' \
    -- import --statement "$fixtures/import/mixed_accounts.txt" --sort-code 11-22-33 --account-number 11223344
  # Nothing read: the host's statement is left as it was (not reset, no balance set).
  local untouched='{"hresult": "0x00000000", "status": 2, "reset": false, "balance": null, "lines": []}'
  expect "import: no bank account (BankAccount fails)" 0 "$untouched" \
    -- import --statement "$fixtures/import/mixed_accounts.txt"
  expect "import: another bank's file" 0 "$untouched" \
    -- import --statement "$fixtures/import/foreign.txt" --sort-code 12-34-56 --account-number 12345678
  # The omitted sort code is an empty text: an account without a sort code selects no record.
  expect "import: only the account number" 0 "$untouched" \
    -- import --statement "$fixtures/import/mixed_accounts.txt" --account-number 12345678
  expect "import: a file that cannot be read" 0 "$untouched" \
    -- import --statement "$scratch/missing.txt" --sort-code 12-34-56 --account-number 12345678
  expect "import: a directory" 0 "$untouched" \
    -- import --statement "$fixtures/import" --sort-code 12-34-56 --account-number 12345678
}

group_export() {
  local today proposed chosen out payments_json
  today=$(date +%F)
  proposed=$(next_banking_day "$today")
  [ -n "$proposed" ] || { fail "export: no proposed date from the calendar"; return; }
  payments_json='"payments": [{"index": 0, "result_code": null, "result_text": null}, {"index": 1, "result_code": 21, "result_text": "Invalid Amount specified for payment: negative payments not supported."}, {"index": 2, "result_code": 30, "result_text": "Invalid or missing Payee bank account name."}]'
  payment_lines() { # the fixture's three lines on the file date $1
    printf '%s\n' \
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"40112211223344\",\"1234.50\",\"$1\",\"EUR\",\"E\",\"Acme Supplies Ltd\",\"Acme Supplies Ltd\",\"Sample Trading Ltd\",\"\",\"\",\"\",\"\",\"Sample Trading Ltd\",\"\",\"\"" \
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"20889999887766\",\"0.00\",\"$1\",\"EUR\",\"E\",\"City Power\",\"City Power\",\"Sample Trading Ltd\",\"\",\"\",\"\",\"\",\"Sample Trading Ltd\",\"\",\"\"" \
      "\"CMII\",\"1.0\",\"12345612345678\",\"\",\"20889909988776\",\"250.00\",\"$1\",\"EUR\",\"E\",\"\",\"\",\"Sample Trading Ltd\",\"\",\"\",\"\",\"\",\"Sample Trading Ltd\",\"\",\"\""
  }

  # The line of tests/fixtures/refhost/one_payment.csv on the proposed date.
  local one_payment_line
  one_payment_line="\"CMII\",\"1.0\",\"12345612345678\",\"\",\"40112211223344\",\"10.00\",\"$(file_date "$proposed")\",\"EUR\",\"E\",\"Acme Supplies Ltd\",\"Acme Supplies Ltd\",\"Sample Trading Ltd\",\"\",\"\",\"\",\"\",\"Sample Trading Ltd\",\"\",\"\""

  out=$scratch/proposed.csv
  expect "export: OK on the proposed date" 0 \
    "{\"hresult\": \"0x00000001\", \"status\": 1, \"messages\": [], $payments_json, \"file\": \"$out\"}" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$out"
  mapfile -t lines < <(payment_lines "$(file_date "$proposed")")
  expect_file "export: OK on the proposed date" "$out" "${lines[@]}"

  # A banking day a week or more ahead, chosen in the picker; the existing file is overwritten.
  chosen=$(next_banking_day "$(date -d "$today + 8 days" +%F)")
  expect "export: a chosen date over an existing file" 0 \
    "{\"hresult\": \"0x00000001\", \"status\": 1, \"messages\": [], $payments_json, \"file\": \"$out\"}" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$out" --date "$chosen"
  mapfile -t lines < <(payment_lines "$(file_date "$chosen")")
  expect_file "export: a chosen date over an existing file" "$out" "${lines[@]}"

  # Keeping the existing file: the save dialog is cancelled and the file stays as it was.
  cp "$out" "$scratch/before.csv"
  local untouched='"payments": [{"index": 0, "result_code": null, "result_text": null}, {"index": 1, "result_code": null, "result_text": null}, {"index": 2, "result_code": null, "result_text": null}]'
  expect "export: --keep-existing" 0 \
    "{\"hresult\": \"0x00000000\", \"status\": 3, \"messages\": [], $untouched, \"file\": null}" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$out" --keep-existing
  cmp -s "$out" "$scratch/before.csv" || fail "export: --keep-existing changed the file"

  # Refused dates: the refusal, then the dialog cancelled and the change given up.
  local yesterday weekend far
  yesterday=$(date -d "$today - 1 day" +%F)
  weekend=$(date -d "next saturday" +%F)
  far=$(next_banking_day "$(date -d "$today + 400 days" +%F)")
  local advance
  advance=$(advance_of "$weekend")
  local weekend_text="The date you specified falls on a weekend. Try advancing the date \\r\\n$advance days to the next likely Banking Day."
  local cases=(
    "$yesterday|Invalid Banking Date Specified|The processing date you specify for payments MUST be on or after the current system date."
    "$weekend|Non-Banking Date Specified|$weekend_text"
    "$far|Invalid Processing Date Specified|The processing date specified is too far in the future.\\rProcessing dates can be at most 365 days after today's date."
  )
  local case date caption text
  for case in "${cases[@]}"; do
    IFS='|' read -r date caption text <<<"$case"
    expect "export: refused date $date" 0 \
      "{\"hresult\": \"0x00000000\", \"status\": 3, \"messages\": [{\"caption\": \"$caption\", \"text\": \"$text\"}, {\"caption\": \"Changes have been made\", \"text\": \"Do you wish to ignore these changes?\"}], $untouched, \"file\": null}" \
      -- export --payments "$fixtures/refhost/payments.csv" --out "$scratch/refused.csv" --date "$date"
  done
  [ ! -e "$scratch/refused.csv" ] || fail "export: a refused date wrote a file"

  # A relative name without extension, typed in the save dialog, gets the configured one; an
  # option that takes no value may come first.
  cd "$scratch" || return
  expect "export: a relative --out without extension" 0 \
    "{\"hresult\": \"0x00000000\", \"status\": 0, \"messages\": [], \"payments\": [{\"index\": 0, \"result_code\": null, \"result_text\": null}], \"file\": \"$scratch/batch.csv\"}" \
    -- export --keep-existing --out batch --payments "$fixtures/refhost/one_payment.csv"
  cd - >/dev/null || return
  expect_file "export: a relative --out without extension" "$scratch/batch.csv" \
    "$one_payment_line"

  # The configuration's defaults: a missing directory is reported, then the run goes on; the
  # file name and extension given make the save dialog's initial name.
  out=$scratch/one.csv
  expect "export: a missing default directory" 0 \
    "{\"hresult\": \"0x00000000\", \"status\": 0, \"messages\": [{\"caption\": \"Invalid default path\", \"text\": \"The default payment directory (Z:\\\\nowhere\\\\at all) specified does not exist.  Please correct this within configuration for the specified banking component. The root directory (C:\\\\) will be used in the mean time.\"}], \"payments\": [{\"index\": 0, \"result_code\": null, \"result_text\": null}], \"file\": \"$out\"}" \
    -- export --payments "$fixtures/refhost/one_payment.csv" --out "$out" --directory "/nowhere/at all" --file-name batch --extension txt
  expect_file "export: a missing default directory" "$out" \
    "$one_payment_line"
}

# expect_text NAME EXIT EXPECTED_FILE -- ARGUMENTS...: the exit code, and stdout exactly the file.
expect_text() {
  local name=$1 exit=$2 expected=$3
  shift 4
  "$kelvarn" "$@" >"$scratch/stdout" 2>"$scratch/stderr"
  local status=$?
  [ "$status" -eq "$exit" ] || { fail "$name: exit $status, expected $exit"; sed 's/^/    stderr: /' "$scratch/stderr"; }
  cmp -s "$scratch/stdout" "$expected" ||
    { fail "$name: stdout differs"; diff <(cat -A "$expected") <(cat -A "$scratch/stdout") | sed 's/^/    /'; }
}

group_help() {
  local command
  "$kelvarn" --help >"$scratch/help" 2>"$scratch/stderr" || fail "--help: exit $?"
  for command in info export import recognise calendar; do
    grep -q "^kelvarn $command " "$scratch/help" || fail "--help: no line for $command"
    "$kelvarn" "$command" --help >"$scratch/stdout" 2>"$scratch/stderr" || fail "$command --help: exit $?"
    head -n 1 "$scratch/stdout" | grep -q "^usage: kelvarn $command " || fail "$command --help: $(head -n 1 "$scratch/stdout")"
    # The command's usage is the overview's paragraph on it.
    grep -qF -- "$(sed -n 2p "$scratch/stdout")" "$scratch/help" || fail "$command --help: not the overview's text"
  done
  # Help takes the place of the run: no required option needed, nothing written.
  "$kelvarn" export --out "$scratch/help.csv" --help >/dev/null 2>&1 || fail "export --out X --help: exit $?"
  [ ! -e "$scratch/help.csv" ] || fail "export --help wrote a file"
  expect_usage "--help with a command after it" -- --help export
  expect_usage "--format yaml" -- info --format yaml
}

group_text() {
  printf '%s\n' "Kelvarn Bank (fixed code 1)" "services: Bank Payment Service, Bank Reconciliation Service" >"$scratch/expected"
  expect_text "info --format text" 0 "$scratch/expected" -- info --format text
  # JSON stays the default, byte for byte.
  expect "info --format json" 0 \
    '{"hresult": "0x00000000", "bank": "Kelvarn Bank", "fixed_code": 1, "services": ["Bank Payment Service", "Bank Reconciliation Service"]}' \
    -- info --format json
  printf '%s\n' "import: S_OK, status 0: statement read" "statement reset, 3 lines added, balance 0.00" \
    "line  date        kind    amount  name          reference" \
    "   1  2007-01-01  credit  100.00  FIRST CREDIT  REF1               SAMPLE TRADING" \
    "   2  2007-02-01  debit     1.99  SECOND DEBIT  REF2               SAMPLE TRADING" \
    "   3  2008-02-29  credit    0.01  THIRD CREDIT  REF3               SAMPLE TRADING" >"$scratch/expected"
  expect_text "import --format text" 0 "$scratch/expected" \
    -- import --statement "$fixtures/import/mixed_accounts.txt" --sort-code 12-34-56 --account-number 12345678 --format text
  printf '%s\n' "import: S_OK, status 2: nothing imported: the file cannot be read or is not the bank's statement, or the bank account selects no records" \
    "statement left as it was" >"$scratch/expected"
  expect_text "import --format text, another bank's file" 0 "$scratch/expected" \
    -- import --statement "$fixtures/import/foreign.txt" --sort-code 12-34-56 --account-number 12345678 --format text
  local out=$scratch/text.csv
  printf '%s\n' "export: S_FALSE, status 1: file written, but at least one payment failed a check" \
    "payment        amount  result" \
    "      1  EUR 1,234.50  ok" \
    "      2       EUR nan  21 Invalid Amount specified for payment: negative payments not supported." \
    "      3    EUR 250.00  30 Invalid or missing Payee bank account name." \
    "file: $out" >"$scratch/expected"
  expect_text "export --format text" 0 "$scratch/expected" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$out" --format text
  [ -f "$out" ] || fail "export --format text: no file written"
  printf '%s\n' "2008-12-25: no banking day (bank holiday), next banking day 2008-12-29" \
    "2009-01-03: no banking day (weekend), next banking day 2009-01-05" "2008-12-24: banking day" >"$scratch/expected"
  expect_text "calendar --format text" 0 "$scratch/expected" -- calendar 2008-12-25 2009-01-03 2008-12-24 --format text
  printf '%s\n' "$fixtures/import/mixed_accounts.txt: recognised (Kelvarn Bank Statement)" \
    "$fixtures/import/foreign.txt: not recognised" >"$scratch/expected"
  expect_text "recognise --format text" 0 "$scratch/expected" \
    -- recognise "$fixtures/import/mixed_accounts.txt" --format text "$fixtures/import/foreign.txt"
}

# expect_refused NAME PATTERN -- ARGUMENTS...: exit 2, nothing on stdout, one stderr line matching.
expect_refused() {
  local name=$1 pattern=$2
  shift 3
  expect_usage "$name" -- "$@"
  # Wine's console stderr ends lines with CR LF.
  tr -d '\r' <"$scratch/stderr" | grep -qE -- "$pattern" || fail "$name: stderr: $(cat "$scratch/stderr")"
}

group_payments() {
  mkdir -p "$scratch/folder.csv"
  expect_refused "--payments a directory" "^kelvarn: --payments: $scratch/folder.csv is not a regular file \\(a directory\\)$" \
    -- export --payments "$scratch/folder.csv" --out "$scratch/x.csv"
  # Sparse: 65 MiB on paper, no blocks on disk; refused before anything is read.
  truncate -s 65M "$scratch/huge.csv"
  expect_refused "--payments larger than 64 MiB" "^kelvarn: --payments: $scratch/huge.csv is 68157440 bytes: a payments file may have at most 64 MiB \\(67108864 bytes\\)$" \
    -- export --payments "$scratch/huge.csv" --out "$scratch/x.csv"
  # Exactly 64 MiB is let through (and then read as CSV: its NUL bytes are no header).
  truncate -s 64M "$scratch/limit.csv"
  "$kelvarn" export --payments "$scratch/limit.csv" --out "$scratch/x.csv" >/dev/null 2>"$scratch/stderr"
  grep -q "larger\|at most 64 MiB" "$scratch/stderr" && fail "--payments of exactly 64 MiB refused: $(cat "$scratch/stderr")"
  expect_refused "--payments missing" "^kelvarn: --payments: cannot read $scratch/none.csv: .*[a-z].* \\(Windows error 2\\)$" \
    -- export --payments "$scratch/none.csv" --out "$scratch/x.csv"
  [ ! -e "$scratch/x.csv" ] || fail "a refused payments file wrote a file"
}

group_usage() {
  expect_usage "no command" --
  expect_usage "unknown command" -- frobnicate
  expect_usage "export without --out" -- export --payments "$fixtures/refhost/payments.csv"
  expect_usage "export: a payments file that does not exist" -- export --payments "$scratch/none.csv" --out "$scratch/x.csv"
  expect_usage "export: a payments file with another header" -- export --payments "$fixtures/refhost/wrong_header.csv" --out "$scratch/x.csv"
  expect_usage "export: a date before the picker's calendar" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$scratch/x.csv" --date 1700-01-01
  expect_usage "export: --out that is no Windows file name" \
    -- export --payments "$fixtures/refhost/payments.csv" --out "$scratch/x\"y.csv"
  expect_usage "import: a path the system code page cannot hold" -- import --statement "$scratch/Привет.txt"
  expect_usage "import without --statement" -- import --sort-code 12-34-56
  expect_usage "recognise without files" -- recognise
  [ ! -e "$scratch/x.csv" ] || fail "usage: a bad command line wrote a file"
}

case "${1:-}" in
  info | calendar | recognise | import | export | usage | help | text | payments) "group_$1" ;;
  *) echo "usage: kelvarn_cli_test.sh info|calendar|recognise|import|export|usage" >&2; exit 2 ;;
esac
if [ "$failures" -ne 0 ]; then
  echo "$1: $failures check(s) failed"
  exit 1
fi
echo "$1: all checks passed"
