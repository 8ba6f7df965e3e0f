# Release settings of LumivortexSetup.exe: its version information, the
# inputs that keep its bytes reproducible, and optional Authenticode signing.
# Included by the top-level CMakeLists.txt after the executable is defined.
# The signing step runs this same file as a script (cmake -P): see the end.

if(NOT CMAKE_SCRIPT_MODE_FILE)

# One place for the version: project(Lumivortex VERSION ...). The four-part
# form goes into the version resource and the manifest's assembly identity.
set(LV_VERSION_TWEAK 0)
if(PROJECT_VERSION_TWEAK)
  set(LV_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(LV_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${LV_VERSION_TWEAK}")
set(LV_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${LV_VERSION_TWEAK}")

# What the file's properties show. A fixed year, not the build date: the same
# sources must give the same bytes.
set(LV_PRODUCT "Lumivortex filter")
set(LV_COMPANY "Kestovan")
set(LV_FILE_DESCRIPTION "Lumivortex filter setup")
set(LV_COPYRIGHT "Copyright © 2026 Kestovan")
set(LV_WEBSITE "https://www.kestovan.example/")

# Generated next to payloads.rc; res/installer.rc includes version.rc and
# names lumivortex.manifest, both found through the generated include folder.
set(LV_VERSION_RC ${CMAKE_BINARY_DIR}/generated/version.rc)
set(LV_MANIFEST ${CMAKE_BINARY_DIR}/generated/lumivortex.manifest)
configure_file(${CMAKE_SOURCE_DIR}/res/version.rc.in ${LV_VERSION_RC} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/lumivortex.manifest.in ${LV_MANIFEST} @ONLY)
set_property(SOURCE ${LV_INSTALLER_RC} APPEND PROPERTY OBJECT_DEPENDS ${LV_VERSION_RC} ${LV_MANIFEST})

# Authenticode signing, off unless a PKCS#12 file is named. The password is
# read from the environment at build time (LV_SIGN_PASSWORD), so it is never
# stored in the cache or shown on a command line.
set(LV_SIGN_PKCS12 "" CACHE FILEPATH
  "PKCS#12 file (certificate and key) that signs LumivortexSetup.exe; empty: unsigned. Password: environment variable LV_SIGN_PASSWORD")
set(LV_SIGN_TIMESTAMP_URL "" CACHE STRING
  "RFC 3161 time-stamp server for the signature (needs network); empty: no time stamp")
if(LV_SIGN_PKCS12)
  if(NOT EXISTS "${LV_SIGN_PKCS12}")
    message(FATAL_ERROR "LV_SIGN_PKCS12: no such file: ${LV_SIGN_PKCS12}")
  endif()
  find_program(LV_OSSLSIGNCODE osslsigncode)
  if(NOT LV_OSSLSIGNCODE)
    message(FATAL_ERROR "LV_SIGN_PKCS12 is set but osslsigncode is not installed (Debian package osslsigncode)")
  endif()
  add_custom_command(TARGET LumivortexSetup POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      -DLV_SIGN_FILE=$<TARGET_FILE:LumivortexSetup>
      -DLV_SIGN_PKCS12=${LV_SIGN_PKCS12}
      -DLV_SIGN_TIMESTAMP_URL=${LV_SIGN_TIMESTAMP_URL}
      -DLV_SIGN_TOOL=${LV_OSSLSIGNCODE}
      -DLV_SIGN_DESCRIPTION=${LV_PRODUCT}
      -DLV_SIGN_URL=${LV_WEBSITE}
      -P ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Signing LumivortexSetup.exe with ${LV_SIGN_PKCS12}"
    VERBATIM)
endif()

else()

# The signing step: sign LV_SIGN_FILE in place. On any failure the unsigned
# file is removed, so that the build fails now and relinks and signs again
# next time instead of leaving an unsigned installer that looks up to date.
set(signed "${LV_SIGN_FILE}.signed")
file(REMOVE "${signed}")
set(args sign -pkcs12 "${LV_SIGN_PKCS12}" -readpass /dev/stdin -h sha256
  -n "${LV_SIGN_DESCRIPTION}" -i "${LV_SIGN_URL}")
if(LV_SIGN_TIMESTAMP_URL)
  list(APPEND args -ts "${LV_SIGN_TIMESTAMP_URL}")
endif()
list(APPEND args -in "${LV_SIGN_FILE}" -out "${signed}")
# The password goes through a pipe from the environment, not through argv.
execute_process(
  COMMAND sh -c "printf '%s' \"\$LV_SIGN_PASSWORD\" | \"\$0\" \"\$@\"" "${LV_SIGN_TOOL}" ${args}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS "${signed}")
  file(REMOVE "${LV_SIGN_FILE}" "${signed}")
  message(FATAL_ERROR "Signing ${LV_SIGN_FILE} failed (is LV_SIGN_PASSWORD set?):\n${out}")
endif()
file(RENAME "${signed}" "${LV_SIGN_FILE}")
file(CHMOD "${LV_SIGN_FILE}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

endif()
