#!/usr/bin/env bash
# regsvr32 and regsvr32 /u of the DLL, with the keys of the registry scripts read back through
# `reg query`, both of the build's architecture (the 32-bit ones of syswow64 for i686, whose keys
# land in the 32-bit registry view and must be absent from the 64-bit one). Leaves the DLL
# registered. Arguments: wine-run wrapper, DLL, resources folder, architecture (x86_64 or i686).
set -uo pipefail
wine=$1 dll=$2 scripts=$3 arch=${4:-x86_64}
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The registry below HKCR\KEY (with /s) as lines "path|name=value" and "path" (name empty for
# the default value), so one wine start reads a whole tree.
# An empty answer is asked once more: a reg run that answered nothing (seen once) must not
# read as a missing key.
dump() { # key [--system64]
  local answer attempt
  for attempt in 1 2; do
    answer=$("$wine" "${2:---system}" reg query "HKCR\\$1" /s 2>/dev/null | tr -d '\r')
    [ -n "$answer" ] && break
  done
  awk '
    /^HKEY_CLASSES_ROOT\\/ { path = substr($0, 19); print path; next }
    /^    / { line = substr($0, 5); split(line, parts, "    ");
              name = parts[1] == "(Default)" ? "" : parts[1];
              value = substr(line, length(parts[1]) + length(parts[2]) + 9);
              print path "|" name "=" value }' <<<"$answer"
}

# Name and CLSID of each class, read from its script.
classes=()
for script in "$scripts"/*.rgs; do
  name=$(sed -nE "s/^[[:space:]]*TrelkKelvarnBank\.([A-Za-z]+)\.1 = s '.*'/\1/p" "$script")
  clsid=$(sed -nE "s/^[[:space:]]*CLSID = s '(\{[0-9A-F-]+\})'/\1/p" "$script" | head -n1)
  [ -n "$name" ] && [ -n "$clsid" ] || fail "cannot read $script"
  classes+=("$name=$clsid")
done
[ ${#classes[@]} -eq 4 ] || fail "expected four class scripts, found ${#classes[@]}"

expect_line() { # dump, line
  grep -Fxq -- "$2" <<<"$1" || fail "missing: $2"
}

check_registered() {
  local entry name clsid module tree
  module=$(basename "$dll")
  for entry in "${classes[@]}"; do
    name=${entry%%=*} clsid=${entry#*=}
    tree=$(dump "TrelkKelvarnBank.$name.1")
    expect_line "$tree" "TrelkKelvarnBank.$name.1|=$name Class"
    expect_line "$tree" "TrelkKelvarnBank.$name.1\\CLSID|=$clsid"
    tree=$(dump "TrelkKelvarnBank.$name")
    expect_line "$tree" "TrelkKelvarnBank.$name|=$name Class"
    expect_line "$tree" "TrelkKelvarnBank.$name\\CLSID|=$clsid"
    expect_line "$tree" "TrelkKelvarnBank.$name\\CurVer|=TrelkKelvarnBank.$name.1"
    tree=$(dump "CLSID\\$clsid")
    expect_line "$tree" "CLSID\\$clsid|=$name Class"
    expect_line "$tree" "CLSID\\$clsid\\ProgID|=TrelkKelvarnBank.$name.1"
    expect_line "$tree" "CLSID\\$clsid\\VersionIndependentProgID|=TrelkKelvarnBank.$name"
    expect_line "$tree" "CLSID\\$clsid\\TypeLib|={EC24AC87-2980-4D9F-BD3E-B709EF2A580C}"
    expect_line "$tree" "CLSID\\$clsid\\InprocServer32|ThreadingModel=Apartment"
    expect_line "$tree" "CLSID\\$clsid\\Programmable"
    grep -Eq "^CLSID.$clsid.InprocServer32\|=.*\\\\$module\$" <<<"$tree" || fail "$name: InprocServer32 does not name $module"
    if [ "$arch" = i686 ] && [ -n "$(dump "CLSID\\$clsid" --system64)" ]; then
      fail "$name: class key in the 64-bit registry view"
    fi
    if [ "$name" = Bank ]; then
      expect_line "$tree" "CLSID\\$clsid\\Implemented Categories\\{4E28D2A2-EE93-11D3-8A15-00E029178D24}"
    else
      grep -q 'Implemented Categories' <<<"$tree" && fail "$name: has an implemented category"
    fi
  done
  expect_line "$(dump 'TypeLib\{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}')" \
    'TypeLib\{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}\1.0|=TrelkKelvarnBank 1.0 Type Library'
}

check_unregistered() {
  local entry name clsid
  for entry in "${classes[@]}"; do
    name=${entry%%=*} clsid=${entry#*=}
    for key in "TrelkKelvarnBank.$name.1" "TrelkKelvarnBank.$name" "CLSID\\$clsid"; do
      [ -z "$(dump "$key")" ] || fail "HKCR\\$key left after unregistration"
    done
  done
  "$wine" --system reg query 'HKCR\CLSID' /ve >/dev/null 2>&1 || fail "HKCR\\CLSID removed"
  [ -z "$(dump 'TypeLib\{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}')" ] || fail "type library left registered"
}

# The 64-bit view is read for real (an empty answer must mean no key, not a failed query).
if [ "$arch" = i686 ] && [ -z "$(dump 'CLSID\{00020424-0000-0000-C000-000000000046}' --system64)" ]; then
  fail "the 64-bit reg query answers nothing for a system class"
fi
for round in 1 2; do
  "$wine" --system regsvr32 /s "$dll" || fail "regsvr32 (round $round) failed"
  check_registered
done
"$wine" --system regsvr32 /s /u "$dll" || fail "regsvr32 /u failed"
check_unregistered
"$wine" --system regsvr32 /s "$dll" || fail "registering again failed"

echo "$failures failures"
[ "$failures" -eq 0 ]
