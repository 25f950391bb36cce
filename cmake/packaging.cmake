# Installing the game. `make install` (PREFIX, DESTDIR) and `make deb` both run these
# install() rules, so an installed tree and the Debian package hold the same files.
# The layout is Debian's for games: the program in games/, its data in share/games/parapet.
include(GNUInstallDirs)

set(PARAPET_APP_ID io.github.parapet.Parapet)
set(PARAPET_RELEASE_DATE 2026-12-07)
set(PARAPET_INSTALL_BINDIR games)
set(PARAPET_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/games/parapet)
# The installed program looks for its data relative to itself, so a tree staged in DESTDIR
# or unpacked from the package runs as well as the final one.
file(RELATIVE_PATH PARAPET_DATA_FROM_BINARY /${PARAPET_INSTALL_BINDIR} /${PARAPET_INSTALL_DATADIR})
target_compile_definitions(parapet_core PUBLIC
  PARAPET_APP_ID="${PARAPET_APP_ID}"
  PARAPET_DATA_FROM_BINARY="${PARAPET_DATA_FROM_BINARY}")

set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(PARAPET_ICON_SIZES 16 32 48 64 128 256)
configure_file(dist/parapet.desktop.in ${DIST_DIR}/${PARAPET_APP_ID}.desktop @ONLY)
configure_file(dist/parapet.metainfo.xml.in ${DIST_DIR}/${PARAPET_APP_ID}.metainfo.xml @ONLY)
configure_file(dist/parapet.6.in ${DIST_DIR}/parapet.6 @ONLY)

# Manual pages and changelogs go compressed, without a time stamp in the gzip header, so
# the package is the same from one build to the next.
set(GZIPPED)
foreach(source ${DIST_DIR}/parapet.6 ${CMAKE_SOURCE_DIR}/dist/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${DIST_DIR}/${name}.gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${DIST_DIR}/${name}.gz
    DEPENDS ${source}
    VERBATIM)
  list(APPEND GZIPPED ${DIST_DIR}/${name}.gz)
endforeach()
add_custom_target(dist_files ALL DEPENDS ${GZIPPED})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS parapet RUNTIME DESTINATION ${PARAPET_INSTALL_BINDIR})
install(DIRECTORY ${DATA_DIR}/ DESTINATION ${PARAPET_INSTALL_DATADIR} PATTERN .stamp EXCLUDE)
install(FILES ${DIST_DIR}/${PARAPET_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DIST_DIR}/${PARAPET_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${PARAPET_ICON_SIZES})
  install(FILES ${ICON_DIR}/${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${PARAPET_APP_ID}.png)
endforeach()
install(FILES ${DIST_DIR}/parapet.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md dist/copyright ${DIST_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# `make deb`: dpkg-shlibdeps names the libraries the program links in Depends.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parapet)
set(CPACK_PACKAGE_VENDOR "The Parapet developers")
set(CPACK_PACKAGE_CONTACT "The Parapet developers <parapet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: defend the top of the wall against the climbers")
set(CPACK_PACKAGE_DESCRIPTION [[
A one-screen arcade game for one to three players sharing one computer.
Climbers walk in along the foot of the wall and climb it in bursts; once on
top they strike the nearest defender down. The defenders drop iron balls on
them, cut them down with the chainsaw that comes once per level, and fire
smart bombs. Levels get faster; the record score of each number of players
is kept.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
include(CPack)

# Stages the install, checks what it holds and, with dpkg-deb at hand, builds the package
# into a temporary folder and runs it unpacked. The sanitized build has nothing to add here.
if(NOT PARAPET_SANITIZE)
  string(REPLACE ";" " " icon_sizes "${PARAPET_ICON_SIZES}")
  add_test(NAME packaging
           COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/install_test.sh
                   ${CMAKE_BINARY_DIR} ${PARAPET_APP_ID} ${PARAPET_INSTALL_BINDIR}
                   "${icon_sizes}")
  set_tests_properties(packaging PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240)
endif()
