#!/usr/bin/env bash
# The release's Windows Installer package under Wine, each check in a fresh 64-bit prefix with
# the host's type libraries registered first, as at a customer's site.
#   msi_check.sh CHECK PACKAGE_DIR SOURCE_DIR X86_64_BUILD
# PACKAGE_DIR holds TrelkKelvarnBank-V.msi for version.txt's V and for 0.9.0.0, and work/ with the
# i686 DLLs they were made from (scripts/package). CHECK is one of:
#   tables     the package's tables: the file, its folder, the registry rows, no self-registration
#   install    msiexec /i writes the file and the keys (32-bit view only); /x removes them all
#   upgrade    0.9.0.0, then the current version: one product left, the new DLL; /x cleans up
#   regsvr32   the keys equal what regsvr32 writes for the same DLL at the same path in a second
#              prefix (the 64-bit DLL in the 64-bit view here, the only difference the type
#              library's platform key)
#   regsvr32-32  the same with the i686 DLL and the 32-bit regsvr32 (needs 32-bit execution)
#   client-32    the 32-bit VBScript host drives the installed component (needs 32-bit execution)
# A check that needs what this machine cannot do prints "not run: REASON" and exits 77.
set -uo pipefail
check=$1 packages=$2 source=$3 x86_64_build=$4
version=$(head -n 1 "$source/version.txt")
old_version=0.9.0.0
msi=$packages/TrelkKelvarnBank-$version.msi
old_msi=$packages/TrelkKelvarnBank-$old_version.msi
dll32=$packages/work/i686-$version/TrelkKelvarnBank.dll
old_dll32=$packages/work/i686-$old_version/TrelkKelvarnBank.dll
libid='{EC24AC87-2980-4D9F-BD3E-B709EF2A580C}'
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
finish() { echo "$check: $failures failures"; [ "$failures" -eq 0 ] && echo "$check: all checks passed"; exit $((failures != 0)); }
for file in "$msi" "$old_msi" "$dll32" "$old_dll32"; do
  [ -f "$file" ] || { echo "FAILED: missing $file (scripts/package makes it)"; exit 1; }
done

needs32() {
  local why
  why=$("$source/scripts/wine-prefix" runs32) || { echo "not run: $why"; exit 77; }
}

# Classes (name=CLSID) read from the registry scripts, interfaces (name=IID) from the IDL: the
# expectations come from the sources, not from the package.
classes=()
for script in "$source"/resources/*.rgs; do
  name=$(sed -nE "s/^[[:space:]]*TrelkKelvarnBank\.([A-Za-z]+)\.1 = s '.*'/\1/p" "$script")
  clsid=$(sed -nE "s/^[[:space:]]*CLSID = s '(\{[0-9A-F-]+\})'/\1/p" "$script" | head -n1)
  classes+=("$name=$clsid")
done
[ ${#classes[@]} -eq 4 ] || fail "expected four class scripts, found ${#classes[@]}"
interfaces=()
while read -r iid name; do interfaces+=("$name={$iid}"); done < <(
  sed -nE 's/^ *uuid\(([0-9A-Fa-f-]+)\),?$/\1/p; s/^interface ([A-Za-z]+) :.*/\1/p' "$source/resources/trelk_kelvarn_bank.idl" \
    | paste - - | awk -F'\t' '$2 ~ /^I/')
[ ${#interfaces[@]} -eq 4 ] || fail "expected four interfaces in the IDL, found ${#interfaces[@]}"

# --- Wine prefixes -------------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvarn-msi-$check.XXXXXX")
prefixes=()
cleanup() {
  local p
  for p in "${prefixes[@]}"; do WINEPREFIX=$p /usr/lib/wine/wineserver -k >/dev/null 2>&1; done
  rm -rf "$work"
}
trap cleanup EXIT

new_prefix() { # name: a fresh headless prefix with the host's type libraries registered
  local prefix=$work/$1
  prefixes+=("$prefix")
  "$source/scripts/wine-prefix" create "$prefix" || { fail "cannot create the prefix $1"; return 1; }
  WINEPREFIX=$prefix in_prefix "$x86_64_build/fakehost/register_host_libraries.exe" \
    "$x86_64_build"/generated/{TrelkEBanking,TrelkBankPayments,TrelkBankReconciliation}.tlb \
    || fail "registering the host's type libraries in $1"
  # Another program's 32-bit class, interface and type library, as on any machine: the package
  # must leave them (and so the CLSID key) alone.
  local key
  for key in 'CLSID\{0BADC0DE-0000-4000-8000-000000000001}' 'Interface\{0BADC0DE-0000-4000-8000-000000000002}' \
             'TypeLib\{0BADC0DE-0000-4000-8000-000000000003}\1.0'; do
    WINEPREFIX=$prefix in_prefix reg add "HKLM\\Software\\Classes\\Wow6432Node\\$key" /ve /d "Neighbour" /f >/dev/null \
      || fail "cannot add the neighbour key $key"
  done
}
in_prefix() { # runs a 64-bit program in $WINEPREFIX
  WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 DISPLAY= \
    /usr/lib/wine/wine64 "$@" </dev/null
}
in_prefix32() {
  WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 DISPLAY= \
    /usr/lib/wine/wine "$@" </dev/null
}
msiexec() { # prefix, arguments...
  local prefix=$1; shift
  WINEPREFIX=$prefix in_prefix msiexec "$@" /qn
}
settle() { WINEPREFIX=$1 /usr/lib/wine/wineserver -w; }

# The saved registry of a prefix below HKLM\Software\Classes (HKCR of both views), one line per
# key ("[path]") and per value ("[path] name=data"), sorted; time stamps left out. `view` 32 gives
# the keys a 32-bit program sees (Wow6432Node, its prefix cut off), 64 those of a 64-bit one;
# Wine keeps TypeLib in one place for both, as Windows does. The Installer's own product records
# (Classes\Installer) are left out: the Uninstall keys show the products.
classes_registry() { # prefix, view (32, 64 or all)
  settle "$1"
  perl -ne '
    BEGIN { $view = shift @ARGV }
    if (/^\[Software\\\\Classes\\\\(.*)\](?: \d+)?$/) { $key = $1; $key =~ s/\\\\/\\/g;
      $shared = $key =~ /^TypeLib(\\|$)/i;
      $keep = $key !~ /^Installer(\\|$)/i && ($view eq "all" ? 1 : $view eq "32" ? ($key =~ s/^Wow6432Node\\//i || $shared)
                                                                       : ($key !~ /^Wow6432Node(\\|$)/i));
      $key =~ s/^TypeLib/TypeLib/i;
      # Wine saves a key without values only when it has no subkeys: every key is listed with its parents.
      if ($keep) { my @parts = split /\\/, $key; print "[" . join("\\", @parts[0..$_]) . "]\n" for 0..$#parts } next }
    if (/^\[/) { $keep = 0; next }
    next unless $keep && /^(@|"(?:[^"\\]|\\.)*")=(.*)$/;
    ($name, $data) = ($1, $2); $name = "" if $name eq "@"; $name =~ s/^"|"$//g;
    print "[$key] $name=$data\n"' "$2" "$1/system.reg" | LC_ALL=C sort -u
}

# The keys below one of our keys in a dump, for the checks of a class or interface.
expect_line() { grep -Fxq -- "$2" <<<"$1" || fail "$3: missing $2"; }
quote() { printf '"%s"' "$(sed 's/\\/\\\\/g' <<<"$1")"; }

check_installed_keys() { # dump of the 32-bit view, dump of the 64-bit view, expected module path
  local view32=$1 view64=$2 module=$3 entry name clsid iid
  for entry in "${classes[@]}"; do
    name=${entry%%=*} clsid=${entry#*=}
    expect_line "$view32" "[TrelkKelvarnBank.$name.1] =\"$name Class\"" "$name"
    expect_line "$view32" "[TrelkKelvarnBank.$name.1\\CLSID] =\"$clsid\"" "$name"
    expect_line "$view32" "[TrelkKelvarnBank.$name] =\"$name Class\"" "$name"
    expect_line "$view32" "[TrelkKelvarnBank.$name\\CLSID] =\"$clsid\"" "$name"
    expect_line "$view32" "[TrelkKelvarnBank.$name\\CurVer] =\"TrelkKelvarnBank.$name.1\"" "$name"
    expect_line "$view32" "[CLSID\\$clsid] =\"$name Class\"" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\ProgID] =\"TrelkKelvarnBank.$name.1\"" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\VersionIndependentProgID] =\"TrelkKelvarnBank.$name\"" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\Programmable]" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\InprocServer32] =$(quote "$module")" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\InprocServer32] ThreadingModel=\"Apartment\"" "$name"
    expect_line "$view32" "[CLSID\\$clsid\\TypeLib] =\"$libid\"" "$name"
    if [ "$name" = Bank ]; then
      expect_line "$view32" "[CLSID\\$clsid\\Implemented Categories\\{4E28D2A2-EE93-11D3-8A15-00E029178D24}]" "$name"
    elif grep -Fq "[CLSID\\$clsid\\Implemented Categories" <<<"$view32"; then
      fail "$name: has an implemented category"
    fi
    grep -Fi "$clsid" <<<"$view64" | grep -qvi '^\[TypeLib' && fail "$name: written to the 64-bit view"
    grep -Fiq "TrelkKelvarnBank.$name" <<<"$view64" && fail "$name: ProgID in the 64-bit view"
  done
  expect_line "$view32" "[TypeLib\\$libid\\1.0] =\"TrelkKelvarnBank 1.0 Type Library\"" "type library"
  # The flags of a library loaded from its file (LIBFLAG_FHASDISKIMAGE), as RegisterTypeLib writes them.
  expect_line "$view32" "[TypeLib\\$libid\\1.0\\FLAGS] =\"8\"" "type library"
  expect_line "$view32" "[TypeLib\\$libid\\1.0\\HELPDIR] =$(quote "${module%\\*}")" "type library"
  grep -Fxq "[TypeLib\\$libid\\1.0\\0\\win32] =$(quote "$module")" <<<"$view32" \
    || grep -Eq "^\[TypeLib\\\\$libid\\\\1\.0\\\\[0-9a-f]+\\\\win32\] =$(quote "$module" | sed 's/[][\\.()]/\\&/g')\$" <<<"$view32" \
    || fail "type library: no win32 path naming the module"
  for entry in "${interfaces[@]}"; do
    name=${entry%%=*} iid=${entry#*=}
    expect_line "$view32" "[Interface\\$iid] =\"$name\"" "$name"
    expect_line "$view32" "[Interface\\$iid\\ProxyStubClsid] =\"{00020424-0000-0000-C000-000000000046}\"" "$name"
    expect_line "$view32" "[Interface\\$iid\\ProxyStubClsid32] =\"{00020424-0000-0000-C000-000000000046}\"" "$name"
    expect_line "$view32" "[Interface\\$iid\\TypeLib] =\"$libid\"" "$name"
    expect_line "$view32" "[Interface\\$iid\\TypeLib] Version=\"1.0\"" "$name"
  done
}

installed_dir() { echo "$1/drive_c/Program Files (x86)/Trelk/Kelvarn Bank"; }
module_path='C:\Program Files (x86)\Trelk\Kelvarn Bank\TrelkKelvarnBank.dll'

# Products of the Uninstall keys of both views: "DisplayName|DisplayVersion" per product.
installed_products() { # prefix
  settle "$1"
  perl -ne '
    if (/^\[Software\\\\(?:Wow6432Node\\\\)?Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\([^\]\\]+)\]/) { $p = $1; next }
    if (/^\[/) { $p = undef; next }
    $n{$p} = $1 if defined $p && /^"DisplayName"="(.*)"$/;
    $v{$p} = $1 if defined $p && /^"DisplayVersion"="(.*)"$/;
    END { print "$n{$_}|$v{$_}\n" for grep { $n{$_} =~ /Kelvarn/ } sort keys %n }' "$1/system.reg"
}

case "$check" in
  tables)
    dump=$work/tables
    mkdir -p "$dump" "$work/old"
    msidump -t -d "$dump" "$msi" >/dev/null || fail "msidump"
    row() { tr -d '\r' <"$dump/$1.idt" | awk -F'\t' -v key="$2" 'NR > 3 && $1 == key'; }
    [ "$(row Property ProductVersion | cut -f2)" = "$version" ] || fail "ProductVersion is not $version"
    [ "$(row Property ALLUSERS | cut -f2)" = 1 ] || fail "not a per-machine package (ALLUSERS)"
    [ "$(row File TrelkKelvarnBank.dll | cut -f3)" = "TrelkKelvarnBank.dll" ] || fail "no TrelkKelvarnBank.dll in the File table"
    # The folder chain below ProgramFilesFolder.
    [ "$(row Directory INSTALLFOLDER | cut -f2,3)" = "$(printf 'TrelkFolder\tKelvarn Bank')" ] || fail "INSTALLFOLDER is not Trelk\\Kelvarn Bank"
    [ "$(row Directory TrelkFolder | cut -f2,3)" = "$(printf 'ProgramFilesFolder\tTrelk')" ] || fail "Trelk is not below ProgramFilesFolder"
    msiinfo suminfo "$msi" | grep -q '^Template: Intel;1033' || fail "not a 32-bit (Intel) package"
    # Windows Installer rows, never self-registration.
    for table in SelfReg Class ProgId TypeLib; do
      [ -s "$dump/$table.idt" ] && [ "$(wc -l <"$dump/$table.idt")" -gt 3 ] && fail "$table table has rows"
    done
    registry=$(tr -d '\r' <"$dump/Registry.idt" | awk -F'\t' 'NR > 3 { print $2 "|" $3 "|" $4 "|" $5 }' | LC_ALL=C sort)
    [ "$(cut -d'|' -f1 <<<"$registry" | sort -u)" = 0 ] || fail "a registry row outside HKCR"
    for entry in "${classes[@]}"; do
      clsid=${entry#*=}
      grep -Fxq "0|CLSID\\$clsid\\InprocServer32\\||[#TrelkKelvarnBank.dll]" <<<"$registry" \
        || grep -Fxq "0|CLSID\\$clsid\\InprocServer32||[#TrelkKelvarnBank.dll]" <<<"$registry" \
        || fail "${entry%%=*}: InprocServer32 does not name the installed file"
      grep -Eq "^0\|CLSID\\\\$clsid\\\\Programmable\\\\?\|\*\|\$" <<<"$registry" || fail "${entry%%=*}: Programmable has no * row"
    done
    [ "$(grep -c '^0|Interface\\' <<<"$registry")" -eq $((5 * 4)) ] || fail "expected 20 interface rows"
    # The same version in the DLL's version resource as in the package.
    for pair in "$dll32=$version" "$old_dll32=$old_version"; do
      file_version=$(perl -0777 -ne 'use Encode; $_ = decode("UTF-16LE", $_); print $1 if /FileVersion\0+([0-9.]+)/' "${pair%=*}")
      [ "$file_version" = "${pair#*=}" ] || fail "${pair%=*}: FileVersion [$file_version], expected [${pair#*=}]"
    done
    [ "$(msidump -t -d "$work/old" "$old_msi" >/dev/null && tr -d '\r' <"$work/old/Property.idt" | awk -F'\t' '$1 == "ProductVersion" { print $2 }')" = "$old_version" ] \
      || fail "the older package's ProductVersion is not $old_version"
    ;;

  install)
    new_prefix site || finish
    prefix=$work/site
    before=$(classes_registry "$prefix" all)
    msiexec "$prefix" /i "$msi" || fail "msiexec /i"
    cmp -s "$(installed_dir "$prefix")/TrelkKelvarnBank.dll" "$dll32" || fail "the installed DLL is not the package's i686 DLL"
    [ -e "$prefix/drive_c/Program Files/Trelk" ] && fail "files in the 64-bit Program Files"
    check_installed_keys "$(classes_registry "$prefix" 32)" "$(classes_registry "$prefix" 64)" "$module_path"
    [ "$(installed_products "$prefix")" = "Trelk Kelvarn Bank|$version" ] || fail "installed products: $(installed_products "$prefix")"
    msiexec "$prefix" /x "$msi" || fail "msiexec /x"
    [ -e "$prefix/drive_c/Program Files (x86)/Trelk" ] && fail "the install folder is left after /x"
    after=$(classes_registry "$prefix" all)
    if [ "$before" != "$after" ]; then
      fail "the classes registry after /x differs from before /i:"
      diff <(echo "$before") <(echo "$after") | head -n 40
    fi
    [ -z "$(installed_products "$prefix")" ] || fail "a product is left after /x: $(installed_products "$prefix")"
    ;;

  upgrade)
    new_prefix site || finish
    prefix=$work/site
    before=$(classes_registry "$prefix" all)
    msiexec "$prefix" /i "$old_msi" || fail "msiexec /i of $old_version"
    [ "$(installed_products "$prefix")" = "Trelk Kelvarn Bank|$old_version" ] || fail "after $old_version: $(installed_products "$prefix")"
    cmp -s "$(installed_dir "$prefix")/TrelkKelvarnBank.dll" "$old_dll32" || fail "the $old_version DLL is not installed"
    msiexec "$prefix" /i "$msi" || fail "msiexec /i of $version over $old_version"
    [ "$(installed_products "$prefix")" = "Trelk Kelvarn Bank|$version" ] || fail "after the upgrade: [$(installed_products "$prefix")]"
    cmp -s "$(installed_dir "$prefix")/TrelkKelvarnBank.dll" "$dll32" || fail "the $version DLL did not replace the $old_version one"
    check_installed_keys "$(classes_registry "$prefix" 32)" "$(classes_registry "$prefix" 64)" "$module_path"
    msiexec "$prefix" /x "$msi" || fail "msiexec /x"
    [ "$before" = "$(classes_registry "$prefix" all)" ] || fail "the classes registry after the upgrade and /x differs from before"
    [ -z "$(installed_products "$prefix")" ] || fail "a product is left after /x"
    ;;

  regsvr32|regsvr32-32)
    [ "$check" = regsvr32-32 ] && needs32
    new_prefix site || finish
    new_prefix self || finish
    msiexec "$work/site" /i "$msi" || fail "msiexec /i"
    target="$(installed_dir "$work/self")"
    mkdir -p "$target"
    if [ "$check" = regsvr32-32 ]; then
      cp "$dll32" "$target/"
      WINEPREFIX=$work/self in_prefix32 'C:\windows\syswow64\regsvr32.exe' /s "$module_path" || fail "32-bit regsvr32"
      expected=$(classes_registry "$work/self" 32)
    else
      # The 64-bit twin at the same path, registered by the 64-bit regsvr32 into the 64-bit view.
      cp "$x86_64_build/TrelkKelvarnBank.dll" "$target/"
      WINEPREFIX=$work/self in_prefix regsvr32 /s "$module_path" || fail "64-bit regsvr32"
      expected=$(classes_registry "$work/self" 64 | sed 's/\\0\\win64\]/\\0\\win32]/; s/\\409\\win64\]/\\409\\win32]/')
    fi
    # The component's own keys: its ProgIDs, classes, type library and interfaces.
    ids=$(for e in "${classes[@]}" "${interfaces[@]}"; do printf '%s|' "${e#*=}"; done)
    ours() { grep -E "^\[(TrelkKelvarnBank\.|(CLSID|Interface)\\\\($(sed 's/[{}]/\\&/g; s/|$//' <<<"$ids"))|TypeLib\\\\\\$libid)"; }
    installed=$(classes_registry "$work/site" 32 | ours)
    registered=$(ours <<<"$expected")
    [ -n "$registered" ] || fail "regsvr32 wrote none of the component's keys"
    if [ "$installed" != "$registered" ]; then
      fail "the package's keys differ from regsvr32's (< package, > regsvr32):"
      diff <(echo "$installed") <(echo "$registered") | head -n 40
    fi
    ;;

  client-32)
    needs32
    new_prefix site || finish
    msiexec "$work/site" /i "$msi" || fail "msiexec /i"
    output=$(WINEPREFIX=$work/site in_prefix32 'C:\windows\syswow64\cscript.exe' //nologo "Z:$source/tests/vbscript/bank_late_bound.vbs" 2>&1)
    echo "$output"
    grep -q "bank_late_bound: all checks passed" <<<"$output" || fail "the 32-bit VBScript client"
    ;;
  *) echo "msi_check.sh: unknown check $check" >&2; exit 2 ;;
esac
finish
