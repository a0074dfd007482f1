#!/usr/bin/env bash
# The host developer's kit zip of scripts/package, unpacked: exactly the files it should hold,
# each equal to what it was made from.
#   kit_check.sh PACKAGE_DIR SOURCE_DIR X86_64_BUILD OBJDUMP
# The kit's i686 DLL and type library must be the package's i686 sub-build's (the MSI's), its x64
# ones this x86_64 build's; headers and GUIDs the i686 sub-build's; IDL, guide and samples the
# sources'.
set -uo pipefail
packages=$1 source=$2 x86_64_build=$3 objdump=$4
version=$(head -n 1 "$source/version.txt")
kit=TrelkKelvarnBank-sdk-$version
zip_file=$packages/$kit.zip
i686=$packages/work/i686-$version
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
[ -f "$zip_file" ] || { echo "FAILED: missing $zip_file (scripts/package makes it)"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvarn-kit.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && unzip -q "$zip_file") || { echo "FAILED: cannot unpack $zip_file"; exit 1; }
[ -d "$work/$kit" ] || { echo "FAILED: the zip has no top folder $kit"; exit 1; }

# kit path = the file it must equal
expected=(
  "bin/TrelkKelvarnBank.dll=$i686/TrelkKelvarnBank.dll"
  "bin/TrelkKelvarnBank.tlb=$i686/generated/TrelkKelvarnBank.tlb"
  "x64/TrelkKelvarnBank.dll=$x86_64_build/TrelkKelvarnBank.dll"
  "x64/TrelkKelvarnBank.tlb=$x86_64_build/generated/TrelkKelvarnBank.tlb"
  "include/trelk_kelvarn_bank.h=$i686/generated/trelk_kelvarn_bank.h"
  "include/trelk_kelvarn_bank_i.c=$i686/generated/trelk_kelvarn_bank_i.c"
  "include/trelk_kelvarn_bank.idl=$source/resources/trelk_kelvarn_bank.idl"
  "docs/host-guide.md=$source/docs/host-guide.md"
)
for name in trelk_ebanking trelk_bank_payments trelk_bank_reconciliation; do
  expected+=("include/$name.h=$i686/generated/$name.h" "include/$name.idl=$source/host/$name.idl")
done
while read -r sample; do expected+=("samples/$sample=$source/samples/$sample"); done < <(cd "$source/samples" && find . -type f -printf '%P\n')
for required in samples/vbscript/bank_services.vbs samples/jscript/bank_services.js samples/cpp/bank_early_bound.cpp; do
  printf '%s\n' "${expected[@]}" | grep -q "^$required=" || fail "the sources have no $required"
done

for entry in "${expected[@]}"; do
  path=${entry%%=*} origin=${entry#*=}
  if [ ! -f "$work/$kit/$path" ]; then fail "the kit lacks $path"; continue; fi
  cmp -s "$work/$kit/$path" "$origin" || fail "$path differs from $origin"
done
# Nothing else in it.
unexpected=$(comm -13 <(printf '%s\n' "${expected[@]}" | sed 's/=.*//' | LC_ALL=C sort) \
                      <(cd "$work/$kit" && find . -type f -printf '%P\n' | LC_ALL=C sort))
[ -z "$unexpected" ] || fail "files the kit should not hold: $(echo $unexpected)"

# Each DLL is of its folder's machine type.
for entry in "bin:pei-i386" "x64:pei-x86-64"; do
  folder=${entry%%:*} format=${entry#*:}
  actual=$("$objdump" -f "$work/$kit/$folder/TrelkKelvarnBank.dll" 2>/dev/null | sed -nE 's/.*file format (.*)$/\1/p')
  [ "$actual" = "$format" ] || fail "$folder/TrelkKelvarnBank.dll is of format '$actual', expected $format"
done

echo "kit: ${#expected[@]} files checked, $failures failures"
[ "$failures" -eq 0 ] && echo "kit: all checks passed"
exit $((failures != 0))
