# What a release of Velmora holds, packaged by CPack (scripts/release.sh):
# Velmora.exe; README.txt, for whoever runs it, and FOLDER.txt, the folder
# to run it from on each Windows; LICENSE; BUILD.txt, which
# names the sources and the tools that built the exe, and the exe's SHA-256
# as built, before any signature, which a rebuild gives again; and
# SHA256SUMS, with the checksum of the exe as packaged, so signed where it
# was signed. Every text has CRLF line ends, which Notepad before Windows 10
# needs to show lines.

set(VELMORA_RELEASE_SOURCE "sources that name no commit" CACHE STRING
  "What Velmora.exe is built from, as BUILD.txt names it (scripts/release.sh sets it)")

# The Debian package that holds `file`, and its version, where dpkg knows it:
# what someone needs to build the same bytes again.
function(velmora_debian_package file result)
  get_filename_component(file "${file}" REALPATH)
  execute_process(COMMAND dpkg-query -S "${file}" OUTPUT_VARIABLE owner ERROR_QUIET)
  string(REGEX MATCH "^[^:]+" package "${owner}")
  if(package)
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${package} OUTPUT_VARIABLE version)
    set(${result} ", from Debian's ${package} ${version}" PARENT_SCOPE)
  endif()
endfunction()

# The tools, as they name themselves.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} --version OUTPUT_VARIABLE compiler)
execute_process(COMMAND ${CMAKE_LINKER} --version OUTPUT_VARIABLE binutils)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libkernel32.a
  OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX MATCH "^[^\n]*" compiler "${compiler}")
string(REGEX MATCH "^[^\n]*" binutils "${binutils}")
velmora_debian_package(${CMAKE_CXX_COMPILER} compiler_package)
velmora_debian_package(${CMAKE_LINKER} binutils_package)
velmora_debian_package(${import_library} mingw_package)
find_file(VELMORA_MINGW_VERSION_HEADER _mingw_mac.h
  PATHS ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES} NO_DEFAULT_PATH REQUIRED)
file(STRINGS ${VELMORA_MINGW_VERSION_HEADER} mingw
  REGEX "#define __MINGW64_VERSION_(MAJOR|MINOR|BUGFIX) ")
string(REGEX REPLACE "[^;]* ([0-9]+)" "\\1" mingw "${mingw}")
string(REPLACE ";" "." mingw "${mingw}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/BUILD.txt CONTENT [[
Velmora @VELMORA_VERSION_TEXT@, built from @VELMORA_RELEASE_SOURCE@.

Built with:
  compiler  @compiler@@compiler_package@
  binutils  @binutils@@binutils_package@
  Windows   MinGW-w64 @mingw@ headers and import libraries@mingw_package@

The same sources built with the same tools give the same Velmora.exe, byte
for byte, unsigned.
]])

install(TARGETS Velmora RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/README.txt ${PROJECT_SOURCE_DIR}/docs/FOLDER.txt
              ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_BINARY_DIR}/BUILD.txt DESTINATION .)
# A signature changes the exe's bytes, and removing one leaves padding and
# another header checksum behind: so the checksum of the exe as built is
# recorded as it is built, before anything can sign it.
file(WRITE ${PROJECT_BINARY_DIR}/RecordChecksum.cmake
  "file(SHA256 \${EXE} checksum)\nfile(WRITE \${EXE}.sha256 \"\${checksum}\\n\")\n")
add_custom_command(TARGET Velmora POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Velmora> -P ${PROJECT_BINARY_DIR}/RecordChecksum.cmake
  VERBATIM)
install(CODE "set(built_checksum_file \"$<TARGET_FILE:Velmora>.sha256\")")
install(CODE [[
  set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(SHA256 "${folder}/Velmora.exe" checksum)
  file(WRITE "${folder}/SHA256SUMS" "${checksum}  Velmora.exe\n")
  file(STRINGS "${built_checksum_file}" built)
  if(checksum STREQUAL built)
    set(signed "This package holds that file, unsigned.")
  else()
    set(signed "This package holds that file with its Authenticode signatures added;\nSHA256SUMS gives the SHA-256 of the signed file.")
  endif()
  file(APPEND "${folder}/BUILD.txt"
    "\nVelmora.exe as built, before any signature, has the SHA-256\n  ${built}\n${signed}\n")
  foreach(text README.txt FOLDER.txt LICENSE BUILD.txt SHA256SUMS)
    file(READ "${folder}/${text}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${folder}/${text}" "${content}")
  endforeach()
]])

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Velmora-${VELMORA_VERSION_TEXT}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
