# Windows test programs run under Wine in a 64-bit prefix of their own, made
# once in the build tree by a CTest fixture; it runs 32-bit programs too.
# Every test started under Wine has a time-out.
#
# The unit-test programs share that prefix and one wineserver, kept running
# for the run (the wine_server fixture; it ends with the run): they change
# no registry setting or drive, and what differs between them (the DLL load
# order a test asks for with WINEDLLOVERRIDES) is read by each process from
# its own environment. They share the run's one display too, so they take
# turns (RESOURCE_LOCK): a dialog of one never takes the focus from another.
# The end-to-end tests (tests/e2e) need a prefix of their own each, a copy:
# each sets the Windows version, drives and DLL load order its program sees,
# and each has a display of its own, so they run beside anything else.
set(COMBOFLASH_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run)
set(COMBOFLASH_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

# A test of 32-bit programs first checks that this machine can run them: on
# one that runs 64-bit user code only it is reported as skipped.
set(COMBOFLASH_WINE_GUARD)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(COMBOFLASH_WINE_GUARD ${PROJECT_SOURCE_DIR}/tools/wine32-check)
endif()
function(comboflash_guard_wine_test name)
  if(COMBOFLASH_WINE_GUARD)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

if(WIN32 AND NOT COMBOFLASH_WINE_FIXTURE_ADDED)
  set(COMBOFLASH_WINE_FIXTURE_ADDED ON)
  add_test(NAME wine_prefix COMMAND ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX} --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine_server COMMAND ${COMBOFLASH_WINE_GUARD} ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX} --serve)
  set_tests_properties(wine_server PROPERTIES FIXTURES_REQUIRED wine FIXTURES_SETUP wine_server TIMEOUT 120)
  comboflash_guard_wine_test(wine_server)
  add_test(NAME wine_server_end COMMAND ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX} --end)
  set_tests_properties(wine_server_end PROPERTIES FIXTURES_CLEANUP wine_server TIMEOUT 60)
endif()

# comboflash_add_wine_test(NAME <name> COMMAND <exe-target> [ARGS ...] [TIMEOUT s])
function(comboflash_add_wine_test)
  cmake_parse_arguments(arg "" "NAME;COMMAND;TIMEOUT" "ARGS" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_test(NAME ${arg_NAME}
           COMMAND ${COMBOFLASH_WINE_GUARD} ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX}
                   $<TARGET_FILE:${arg_COMMAND}> ${arg_ARGS})
  set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED "wine;wine_server" RESOURCE_LOCK wine_display
                                              TIMEOUT ${arg_TIMEOUT})
  comboflash_guard_wine_test(${arg_NAME})
endfunction()
