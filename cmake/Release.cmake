# What a release of Velmora holds, packaged by CPack (scripts/release.sh):
# Velmora.exe, its licence, and SHA256SUMS with the checksum of the exe as
# packaged, so signed where it was signed.

install(TARGETS Velmora RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(CODE [[
  set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(SHA256 "${folder}/Velmora.exe" checksum)
  file(WRITE "${folder}/SHA256SUMS" "${checksum}  Velmora.exe\n")
]])

set(CPACK_GENERATOR ZIP)
# The version as the version record's FileVersion string reads it.
set(CPACK_PACKAGE_FILE_NAME Velmora-1.00.0003-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
