# Windows tests: the COM tests run under Wine, in both builds (the test support library is
# fakehost/). The i686 build runs the same tests in its own 64-bit prefix through the 32-bit
# loader, with the 32-bit system programs (regsvr32, reg, cscript) of syswow64.

# Pictures of the export run's two dialogs for the documentation (scripts/screenshots runs it).
add_executable(dialog_screenshots screenshots/dialog_screenshots.cpp)
target_link_libraries(dialog_screenshots PRIVATE kelvarn_fakehost kelvarn_png_writer ole32 oleaut32 uuid user32 gdi32)
add_dependencies(dialog_screenshots TrelkKelvarnBank)

# COM tests: through the DLL's exports and COM, plus the frame's error reporting and host access
# compiled in directly (they cannot be reached from outside the module).
file(GLOB com_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/com/*.cpp)
add_executable(com_tests ${com_test_sources}
  ${CMAKE_SOURCE_DIR}/frame/error_reporting_win.cpp
  ${CMAKE_SOURCE_DIR}/host/host_components_win.cpp
  ${CMAKE_SOURCE_DIR}/common/narrow_text_win.cpp)
target_link_libraries(com_tests PRIVATE kelvarn_fakehost kelvarn_core ${KELVARN_GMOCK} ${KELVARN_GTEST_MAIN}
  ole32 oleaut32 uuid advapi32 user32)
target_compile_definitions(com_tests PRIVATE KELVARN_DLL_PATH="$<TARGET_FILE:TrelkKelvarnBank>"
  KELVARN_FIXTURES="${KELVARN_FIXTURES}" KELVARN_COMPONENT_TLB="${KELVARN_COMPONENT_TLB}")
add_dependencies(com_tests TrelkKelvarnBank register_host_libraries)

# The DLL and the host's type libraries registered in the prefix, after the wine fixture.
set(wine_run ${CMAKE_BINARY_DIR}/wine-run)
add_test(NAME com_register
  COMMAND sh -c "\"$0\" --system regsvr32 /s \"$1\" && \"$0\" \"$2\" \"$3\" \"$4\" \"$5\""
          ${wine_run} $<TARGET_FILE:TrelkKelvarnBank> $<TARGET_FILE:register_host_libraries> ${KELVARN_HOST_TLBS})
set_tests_properties(com_register PROPERTIES FIXTURES_SETUP registered FIXTURES_REQUIRED wine)
# Tests that need the registration run on the one wineserver too: it stops only after them.
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP "wine;registered")

# regsvr32 and regsvr32 /u, with the keys read back by reg query; leaves the DLL registered.
add_test(NAME com_regsvr32
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/com/regsvr32_check.sh ${wine_run} $<TARGET_FILE:TrelkKelvarnBank>
          ${CMAKE_SOURCE_DIR}/resources ${KELVARN_ARCH})
set_tests_properties(com_regsvr32 PROPERTIES FIXTURES_REQUIRED registered RESOURCE_LOCK com_registry)

include(GoogleTest)
gtest_discover_tests(com_tests
  DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES FIXTURES_REQUIRED registered RESOURCE_LOCK com_registry)

# The Bank objects through a real late-bound client, Wine's VBScript host of the build's
# architecture. cscript takes a Windows path (a Unix one reads as a switch: Z: is the root).
# Wine's cscript exits with 0 even when a script stops on a run-time error, so only the script's
# closing line passes.
add_test(NAME bank_late_bound_vbscript
  COMMAND ${wine_run} --system cscript //nologo Z:${CMAKE_CURRENT_SOURCE_DIR}/vbscript/bank_late_bound.vbs)
set_tests_properties(bank_late_bound_vbscript PROPERTIES FIXTURES_REQUIRED registered RESOURCE_LOCK com_registry
  PASS_REGULAR_EXPRESSION "bank_late_bound: all checks passed")

# The reference host's command line end to end (scripts/kelvarn in this build), one test per
# command. The program registers the component itself when it is not registered.
foreach(group info calendar recognise import export usage)
  add_test(NAME refhost_cli_${group}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/refhost/end_to_end/kelvarn_cli_test.sh ${group})
  set_tests_properties(refhost_cli_${group} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK com_registry
    ENVIRONMENT "KELVARN_HOST_BUILD=${CMAKE_BINARY_DIR}" PASS_REGULAR_EXPRESSION "${group}: all checks passed")
endforeach()

# The installer package of the release (tests/installer/).
if(KELVARN_ARCH STREQUAL "x86_64")
  include(${CMAKE_CURRENT_SOURCE_DIR}/installer/installer_tests.cmake)
endif()

# The host guide's generated tables against this build's type libraries and string table.
if(KELVARN_ARCH STREQUAL "x86_64")
  add_test(NAME host_guide_tables
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/docs/host_guide_check.sh ${wine_run} $<TARGET_FILE:host_guide_tables>
            ${CMAKE_SOURCE_DIR}/docs/host-guide.md $<TARGET_FILE:TrelkKelvarnBank> ${KELVARN_COMPONENT_TLB} ${KELVARN_HOST_TLBS})
  set_tests_properties(host_guide_tables PROPERTIES FIXTURES_REQUIRED registered
    PASS_REGULAR_EXPRESSION "host guide: tables match the type libraries")
endif()

# A misbehaving host: fault injection into every call of an export and an import, and a fuzzer
# of the four classes through IDispatch and the enumerator's vtable. Run with OANOCACHE=1 and
# Wine's heap checking (run_checked.sh fails on any heap warning).
file(GLOB misbehaving_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/misbehaving/*.cpp)
add_executable(misbehaving_host_tests ${misbehaving_test_sources}
  ${CMAKE_CURRENT_SOURCE_DIR}/com/com_test_support.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/com/payment_export_support.cpp)
target_link_libraries(misbehaving_host_tests PRIVATE kelvarn_fakehost kelvarn_core ${KELVARN_GMOCK}
  ${KELVARN_GTEST_MAIN} ole32 oleaut32 uuid advapi32 user32)
target_compile_definitions(misbehaving_host_tests PRIVATE KELVARN_DLL_PATH="$<TARGET_FILE:TrelkKelvarnBank>"
  KELVARN_FIXTURES="${KELVARN_FIXTURES}")
add_dependencies(misbehaving_host_tests TrelkKelvarnBank register_host_libraries)
foreach(group FaultInjectionTest DispatchFuzzTest)
  add_test(NAME misbehaving_host_${group}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/misbehaving/run_checked.sh ${wine_run}
            $<TARGET_FILE:misbehaving_host_tests> --gtest_filter=${group}.*)
  set_tests_properties(misbehaving_host_${group} PROPERTIES FIXTURES_REQUIRED registered RESOURCE_LOCK com_registry)
endforeach()

# The heap checking itself: a program that frees twice must fail under run_checked.sh.
add_executable(double_free_probe ${CMAKE_CURRENT_SOURCE_DIR}/misbehaving/probe/double_free.cpp)
target_link_libraries(double_free_probe PRIVATE oleaut32)
add_test(NAME misbehaving_host_heap_check_catches_a_double_free
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/misbehaving/run_checked.sh ${wine_run} $<TARGET_FILE:double_free_probe>)
set_tests_properties(misbehaving_host_heap_check_catches_a_double_free PROPERTIES FIXTURES_REQUIRED wine
  PASS_REGULAR_EXPRESSION "heap warnings:")

# The kit's samples (samples/) run against the registered component: the VBScript and JScript
# clients through the build's cscript, the C++ client compiled with this build's compiler against
# the kit's include folder (the x86_64 build takes it from the packaged kit zip). The i686 ones
# need 32-bit execution: where it is missing they exit 77 with "not run: REASON".
file(STRINGS ${CMAKE_SOURCE_DIR}/version.txt kelvarn_kit_version LIMIT_COUNT 1)
foreach(sample vbscript jscript cpp)
  set(sample_kit "")
  set(sample_fixtures wine)
  if(sample STREQUAL "cpp" AND KELVARN_ARCH STREQUAL "x86_64")
    set(sample_kit ${CMAKE_BINARY_DIR}/package/TrelkKelvarnBank-sdk-${kelvarn_kit_version}.zip)
    set(sample_fixtures "wine;msi_package")
  endif()
  add_test(NAME sample_${sample}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/samples/sample_check.sh ${sample} ${KELVARN_ARCH} ${wine_run}
            ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${CMAKE_C_COMPILER} ${CMAKE_CXX_COMPILER} "${sample_kit}"
            $<TARGET_FILE:TrelkKelvarnBank> $<TARGET_FILE:register_host_libraries> ${KELVARN_HOST_TLBS})
  set_tests_properties(sample_${sample} PROPERTIES FIXTURES_REQUIRED "${sample_fixtures}" RESOURCE_LOCK com_registry
    SKIP_RETURN_CODE 77 SKIP_REGULAR_EXPRESSION "not run: " PASS_REGULAR_EXPRESSION "${sample} sample: all checks passed")
endforeach()

# The host developer's kit zip that scripts/package makes (tests/installer/kit_check.sh).
if(KELVARN_ARCH STREQUAL "x86_64")
  add_test(NAME kit_contents
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/kit_check.sh ${CMAKE_BINARY_DIR}/package ${CMAKE_SOURCE_DIR}
            ${CMAKE_BINARY_DIR} ${KELVARN_OBJDUMP})
  set_tests_properties(kit_contents PROPERTIES FIXTURES_REQUIRED msi_package PASS_REGULAR_EXPRESSION "kit: all checks passed")
endif()

# The reference host for people: --help, --format text and the limits on --payments.
foreach(group help text payments)
  add_test(NAME refhost_cli_${group}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/refhost/end_to_end/kelvarn_cli_test.sh ${group})
  set_tests_properties(refhost_cli_${group} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK com_registry
    ENVIRONMENT "KELVARN_HOST_BUILD=${CMAKE_BINARY_DIR}" PASS_REGULAR_EXPRESSION "${group}: all checks passed")
endforeach()
