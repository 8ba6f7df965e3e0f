# Compiler and linker settings shared by every target of the installer.
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "" FORCE)
endif()

# Product code: no exceptions, no RTTI, warnings on. Unused functions are dropped at
# link time; no -fdata-sections: with it this GCC puts zero-filled globals into .data
# sections, and every buffer and table then takes its size in the file (35 KB here).
# No unwind tables: nothing unwinds through code built without exceptions.
add_library(lv_flags INTERFACE)
target_compile_options(lv_flags INTERFACE
  -Wall -Wextra
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fcheck-new>
  -ffunction-sections -fno-asynchronous-unwind-tables)
target_compile_definitions(lv_flags INTERFACE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
target_include_directories(lv_flags INTERFACE ${CMAKE_SOURCE_DIR})

# Static runtime: the executables import nothing from the toolchain.
# No link timestamp, so that the same sources give the same bytes.
set(LV_LINK_FLAGS -static -static-libgcc -static-libstdc++
  -Wl,--dynamicbase,--nxcompat,--tsaware -Wl,--no-insert-timestamp)
