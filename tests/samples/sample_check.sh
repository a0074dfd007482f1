#!/usr/bin/env bash
# Runs one of the kit's samples against the component registered in the build's Wine prefix.
#   sample_check.sh vbscript|jscript|cpp ARCH WINE_RUN SOURCE_DIR BUILD_DIR CC CXX KIT_ZIP DLL REGISTER_HOST_LIBRARIES TLB...
# The scripts' output must equal tests/samples/*.expected line for line (Wine's cscript exits 0
# even after a run-time error, so the output, closing line included, is what decides). The C++
# sample is compiled with the build's compiler against the kit's include folder alone: the one in
# KIT_ZIP when it is given (x86_64), else one made by scripts/kit-include from the build's
# generated files. On i686 a machine that cannot execute 32-bit programs runs nothing but the
# compile and says "not run".
set -uo pipefail
kind=$1 arch=$2 wine_run=$3 source=$4 build=$5 cc=$6 cxx=$7 kit_zip=$8 dll=$9
register_host_libraries=${10}
shift 10
tlbs=("$@")
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvarn-sample-$kind.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

if [ "$kind" = cpp ]; then
  if [ -n "$kit_zip" ]; then
    [ -f "$kit_zip" ] || fail "no kit $kit_zip (scripts/package makes it)"
    (cd "$work" && unzip -q "$kit_zip") || fail "cannot unpack $kit_zip"
    kit=$(echo "$work"/TrelkKelvarnBank-sdk-*)
  else
    kit=$work/kit
    "$source/scripts/kit-include" "$build/generated" "$kit/include" || fail "kit-include"
    mkdir -p "$kit/samples" && cp -r "$source/samples/cpp" "$kit/samples/"
  fi
  # Only the kit's folder and the compiler's own headers: no include path of the build.
  "$cc" -Wall -Werror -c -I "$kit/include" "$kit/include/trelk_kelvarn_bank_i.c" -o "$work/guids.o" \
    || fail "the kit's trelk_kelvarn_bank_i.c does not compile"
  "$cxx" -std=c++17 -Wall -Wextra -Werror -I "$kit/include" "$kit/samples/cpp/bank_early_bound.cpp" "$work/guids.o" \
    -o "$work/bank_early_bound.exe" -static -lole32 -loleaut32 -luuid \
    || fail "samples/cpp/bank_early_bound.cpp does not compile against the kit's include folder"
  echo "compiled samples/cpp/bank_early_bound.cpp against $(ls "$kit/include" | tr '\n' ' ')"
fi

if [ "$arch" = i686 ]; then
  why=$("$source/scripts/wine-prefix" runs32) || { echo "not run: $why"; exit 77; }
fi

# Registered as the host's installation and the package would leave it.
"$wine_run" --system regsvr32 /s "$dll" || fail "regsvr32 $dll"
"$wine_run" "$register_host_libraries" "${tlbs[@]}" >/dev/null || fail "registering the host's type libraries"

case "$kind" in
  vbscript|jscript)
    script=$source/samples/$kind/bank_services.$([ "$kind" = vbscript ] && echo vbs || echo js)
    expected=$source/tests/samples/bank_services.$kind.expected
    "$wine_run" --system cscript //nologo "Z:$script" >"$work/out.txt" 2>"$work/err.txt"
    tr -d '\r' <"$work/out.txt" >"$work/actual.txt"
    cat "$work/actual.txt"
    cat "$work/err.txt" >&2
    diff -u "$expected" "$work/actual.txt" || fail "the output of samples/$kind differs from $expected"
    ;;
  cpp)
    "$wine_run" "$work/bank_early_bound.exe" >"$work/out.txt" 2>&1
    status=$?
    tr -d '\r' <"$work/out.txt"
    [ "$status" -eq 0 ] || fail "bank_early_bound.exe exited with $status"
    [ "$(tr -d '\r' <"$work/out.txt" | tail -n 1)" = "bank_early_bound: all calls answered as expected" ] \
      || fail "no closing line"
    if grep -q '^FAILED' "$work/out.txt"; then fail "a call was answered otherwise"; fi
    ;;
  *) fail "unknown sample $kind" ;;
esac
echo "$kind sample: all checks passed"
