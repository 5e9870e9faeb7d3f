# Windows test programs run under wine64 in a prefix of their own, made once in
# the build tree by a CTest fixture. Every test started under Wine has a time-out.
set(COMBOFLASH_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run)
set(COMBOFLASH_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

if(WIN32 AND NOT COMBOFLASH_WINE_FIXTURE_ADDED)
  set(COMBOFLASH_WINE_FIXTURE_ADDED ON)
  add_test(NAME wine_prefix COMMAND ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX} --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
endif()

# comboflash_add_wine_test(NAME <name> COMMAND <exe-target> [ARGS ...] [TIMEOUT s])
function(comboflash_add_wine_test)
  cmake_parse_arguments(arg "" "NAME;COMMAND;TIMEOUT" "ARGS" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_test(NAME ${arg_NAME}
           COMMAND ${COMBOFLASH_WINE_RUN} --prefix ${COMBOFLASH_WINE_PREFIX} $<TARGET_FILE:${arg_COMMAND}> ${arg_ARGS})
  set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${arg_TIMEOUT})
endfunction()
