# Installing and packaging. `cpack -G DEB` in the build tree (scripts/package.sh)
# makes kuzelna_<version>_amd64.deb; on Windows `cpack -G NSIS` makes an
# installer with the Qt libraries that windeployqt gathers.
include(GNUInstallDirs)

set(KUZELNA_MAINTAINER "the kuzelna authors <kuzelna@example.org>"
    CACHE STRING "Maintainer of the package: name and address")

# The icon: drawn at build time by a small program of ours, as an SVG and PNGs.
add_executable(kuzelna-iconart tools/iconart/main.cpp)
target_link_libraries(kuzelna-iconart PRIVATE Qt6::Gui)
set(KUZELNA_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(KUZELNA_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_files ${KUZELNA_ICON_DIR}/kuzelna.svg)
foreach(size ${KUZELNA_ICON_SIZES})
  list(APPEND icon_files ${KUZELNA_ICON_DIR}/kuzelna-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND kuzelna-iconart ${KUZELNA_ICON_DIR}
  DEPENDS kuzelna-iconart
  COMMENT "Drawing the program's icon")
set_source_files_properties(${icon_files} PROPERTIES GENERATED TRUE)
# The windows carry it too.
qt_add_resources(kuzelna icon PREFIX /icons BASE ${KUZELNA_ICON_DIR}
                 FILES ${KUZELNA_ICON_DIR}/kuzelna-32.png ${KUZELNA_ICON_DIR}/kuzelna-64.png
                       ${KUZELNA_ICON_DIR}/kuzelna-256.png)
add_custom_target(icons ALL DEPENDS ${icon_files})

# Manual pages and the Debian changelog, compressed as Debian wants them.
if(NOT WIN32)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(KUZELNA_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package_files)
  set(package_files)
  foreach(page kuzelna kuzelna-lanesim)
    add_custom_command(
      OUTPUT ${KUZELNA_PACKAGE_DIR}/${page}.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${KUZELNA_PACKAGE_DIR}
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/debian_files.py man
              ${CMAKE_SOURCE_DIR}/packaging/${page}.1 ${PROJECT_VERSION} ${KUZELNA_PACKAGE_DIR}/${page}.1.gz
      DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${page}.1 ${CMAKE_SOURCE_DIR}/packaging/debian_files.py
      VERBATIM)
    list(APPEND package_files ${KUZELNA_PACKAGE_DIR}/${page}.1.gz)
  endforeach()
  add_custom_command(
    OUTPUT ${KUZELNA_PACKAGE_DIR}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KUZELNA_PACKAGE_DIR}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/debian_files.py changelog
            ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION} ${KUZELNA_MAINTAINER}
            ${KUZELNA_PACKAGE_DIR}/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/packaging/debian_files.py
    VERBATIM)
  list(APPEND package_files ${KUZELNA_PACKAGE_DIR}/changelog.gz)
  add_custom_target(package_files ALL DEPENDS ${package_files})
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS kuzelna kuzelna-lanesim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
  # The UNO libraries load private libraries of the office (libreglo.so and
  # others) that only its program folder holds, so the programs search there:
  # in the build tree by its absolute path, installed relative to /usr/bin.
  foreach(program kuzelna kuzelna-lanesim)
    install(CODE "file(RPATH_SET FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                  NEW_RPATH \"\$ORIGIN/../lib/libreoffice/program\")")
  endforeach()
endif()
if(TARGET templates)
  install(DIRECTORY ${KUZELNA_TEMPLATE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kuzelna/templates
          FILES_MATCHING PATTERN "*.xls")
endif()
install(FILES packaging/kuzelna.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KUZELNA_ICON_DIR}/kuzelna.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${KUZELNA_ICON_SIZES})
  install(FILES ${KUZELNA_ICON_DIR}/kuzelna-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kuzelna.png)
endforeach()
set(KUZELNA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kuzelna)
install(FILES packaging/copyright CHANGELOG.md DESTINATION ${KUZELNA_DOC_DIR})
if(NOT WIN32)
  install(FILES ${KUZELNA_PACKAGE_DIR}/kuzelna.1.gz ${KUZELNA_PACKAGE_DIR}/kuzelna-lanesim.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${KUZELNA_PACKAGE_DIR}/changelog.gz DESTINATION ${KUZELNA_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME kuzelna)
set(CPACK_PACKAGE_VENDOR "the kuzelna authors")
set(CPACK_PACKAGE_CONTACT ${KUZELNA_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scoring server of a nine-pin bowling alley")
set(CPACK_PACKAGE_DESCRIPTION
    "The scoring server of a nine-pin bowling alley (kuzelna). It polls the lane
controllers over one serial line, records every throw against the right player
through the lane rotation, keeps the totals and points of a league match or a
tournament, feeds the alley's displays and the lane PCs, shows the match on the
operator's console and on boards on a second screen, keeps the registry of
clubs, teams and players, and fills the match report and the tournament
workbook through LibreOffice Calc.
.
kuzelna-lanesim plays a virtual alley on a pseudo-terminal, for trying the
server without lane hardware.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libreoffice-calc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

if(WIN32)
  set(CPACK_GENERATOR NSIS)
  # The Qt libraries and plugins beside the program.
  find_program(KUZELNA_WINDEPLOYQT windeployqt HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "$ENV{QTDIR}/bin"
               REQUIRED)
  foreach(program kuzelna kuzelna-lanesim)
    install(CODE "execute_process(COMMAND \"${KUZELNA_WINDEPLOYQT}\" --release --no-translations
                  --no-compiler-runtime \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}.exe\"
                  COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
  # The compiler's runtime libraries, as the installer cannot assume them.
  include(InstallRequiredSystemLibraries)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Kuzelna)
  set(CPACK_NSIS_DISPLAY_NAME "Kuželna")
  set(CPACK_NSIS_PACKAGE_NAME "Kuželna")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # The Start menu entry works in the hall's folder, as the desktop entry does on Linux.
  set(CPACK_NSIS_CREATE_ICONS_EXTRA
      "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Kuzelna.lnk' '$INSTDIR\\\\bin\\\\kuzelna.exe' '--home'")
  set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\\\$START_MENU\\\\Kuzelna.lnk'")
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
