# The release's installer package under Wine (x86_64 build). scripts/package makes the current
# package, the kit (with this build's 64-bit DLL) and a 0.9.0.0 package from the same sources for
# the upgrade; its i686 and build-machine sub-builds live in this build folder. Checks that need
# 32-bit execution exit 77 with "not run: REASON" where it is missing, and show as skipped.
set(kelvarn_package_dir ${CMAKE_BINARY_DIR}/package)
add_test(NAME msi_package
  COMMAND sh -c "\"$0\" --out \"$1\" --x86_64-build \"$2\" && \"$0\" --version 0.9.0.0 --msi-only --out \"$1\""
          ${CMAKE_SOURCE_DIR}/scripts/package ${kelvarn_package_dir} ${CMAKE_BINARY_DIR})
# The first run builds the i686 DLL twice; later runs only relink what changed.
set_tests_properties(msi_package PROPERTIES FIXTURES_SETUP msi_package TIMEOUT 3000 RUN_SERIAL TRUE)
foreach(check tables install upgrade regsvr32 regsvr32-32 client-32)
  add_test(NAME msi_${check}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/msi_check.sh ${check} ${kelvarn_package_dir} ${CMAKE_SOURCE_DIR}
            ${CMAKE_BINARY_DIR})
  set_tests_properties(msi_${check} PROPERTIES FIXTURES_REQUIRED msi_package SKIP_RETURN_CODE 77 TIMEOUT 600
    PASS_REGULAR_EXPRESSION "${check}: all checks passed" SKIP_REGULAR_EXPRESSION "not run: ")
endforeach()
