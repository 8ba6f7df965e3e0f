# Test harness: every test executable runs under Wine, in throwaway prefixes
# that the test run creates in the build tree (a 64-bit and a 32-bit one).
# Each prefix gets a warm wine server for the whole run (fixture setup) and
# is shut down at the end (fixture cleanup).

set(LV_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(LV_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)
set(LV_ARCHES win64 win32)

foreach(arch IN LISTS LV_ARCHES)
  set(LV_PREFIX_${arch} ${LV_WINE_DIR}/${arch})
  add_test(NAME prefix.${arch}.start
    COMMAND bash ${LV_SCRIPTS}/wine-prefix.sh start ${LV_PREFIX_${arch}} ${arch})
  set_tests_properties(prefix.${arch}.start PROPERTIES
    FIXTURES_SETUP wine.${arch} TIMEOUT 300)
  add_test(NAME prefix.${arch}.stop
    COMMAND bash ${LV_SCRIPTS}/wine-prefix.sh stop ${LV_PREFIX_${arch}})
  set_tests_properties(prefix.${arch}.stop PROPERTIES FIXTURES_CLEANUP wine.${arch})
endforeach()

# googletest from Debian's sources, cross-built with the -posix compiler.
if(NOT TARGET gtest)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# lv_add_wine_test(TARGET [ARCHES win64 win32] [ARGS ...] [TIMEOUT s] [LOCKS ...] [ENV VAR=value ...] [SCREEN])
# Runs the test executable once per prefix; ctest names it TARGET.ARCH.
# LOCKS names machine-wide things the test changes (LOCKS machine: the host
# editors' registry keys and c:\inst581.txt); tests with a common lock never
# run at the same time in one prefix. SCREEN: the test shows windows on the
# shared display (and may read the screen or send real input), so it never runs
# beside another SCREEN test, of either prefix.
function(lv_add_wine_test target)
  cmake_parse_arguments(T "SCREEN" "TIMEOUT" "ARCHES;ARGS;LABELS;LOCKS;ENV" ${ARGN})
  if(NOT T_ARCHES)
    set(T_ARCHES ${LV_ARCHES})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  foreach(arch IN LISTS T_ARCHES)
    add_test(NAME ${target}.${arch}
      COMMAND bash ${LV_SCRIPTS}/wine-run.sh ${LV_PREFIX_${arch}} $<TARGET_FILE:${target}> ${T_ARGS})
    set_tests_properties(${target}.${arch} PROPERTIES
      FIXTURES_REQUIRED wine.${arch} TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "LV_ARCH=${arch};LV_PREFIX=${LV_PREFIX_${arch}};${T_ENV}"
      LABELS "${T_LABELS}")
    set(locks)
    if(T_LOCKS)
      list(TRANSFORM T_LOCKS APPEND .${arch} OUTPUT_VARIABLE locks)
    endif()
    if(T_SCREEN)
      list(APPEND locks screen)
    endif()
    if(locks)
      set_tests_properties(${target}.${arch} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
  endforeach()
endfunction()

# lv_add_gtest(NAME SOURCES ... LIBS ... [ARCHES/ARGS/TIMEOUT/LOCKS as above]):
# a googletest program of the real sources (resource scripts may be among the sources).
function(lv_add_gtest name)
  cmake_parse_arguments(T "SCREEN" "TIMEOUT" "SOURCES;LIBS;ARCHES;ARGS;LOCKS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  set(extra)
  if(T_TIMEOUT)
    list(APPEND extra TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_ARCHES)
    list(APPEND extra ARCHES ${T_ARCHES})
  endif()
  if(T_ARGS)
    list(APPEND extra ARGS ${T_ARGS})
  endif()
  if(T_LOCKS)
    list(APPEND extra LOCKS ${T_LOCKS})
  endif()
  if(T_ENV)
    list(APPEND extra ENV ${T_ENV})
  endif()
  if(T_SCREEN)
    list(APPEND extra SCREEN)
  endif()
  lv_add_wine_test(${name} ${extra})
endfunction()
