# `cmake --install build --prefix DIR` lays out a complete portable program folder in DIR:
# the program, the virtual meter, the empty Org/ and Name_List/ it expects, the icon, Qt's
# Japanese texts and a desktop entry whose Exec points into DIR. `cpack` (in build/) packs the
# same folder as a .tar.gz.
if(NOT TARGET hakaron)
  return()
endif()

set(hakaron_targets hakaron)
if(TARGET hakaron-meter)
  list(APPEND hakaron_targets hakaron-meter)
endif()
install(TARGETS ${hakaron_targets} RUNTIME DESTINATION .)
# The windows' and the summary's libraries beside the program, where it looks for them.
install(TARGETS hakaron_window_module LIBRARY DESTINATION . RUNTIME DESTINATION .)
if(TARGET hakaron_summary_plugin)
  install(TARGETS hakaron_summary_plugin LIBRARY DESTINATION . RUNTIME DESTINATION .)
endif()
install(DIRECTORY DESTINATION Org)
install(DIRECTORY DESTINATION Name_List)
install(CODE "set(hakaron_first_user_dat \"${HAKARON_FIRST_USER_DAT}\")")
install(CODE [[
  # A reinstall over a folder in use keeps the user's settings.
  get_filename_component(hakaron_dir "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
  set(hakaron_user_dat "$ENV{DESTDIR}${hakaron_dir}/Org/user.dat")
  if(NOT EXISTS "${hakaron_user_dat}")
    file(COPY_FILE "${hakaron_first_user_dat}" "${hakaron_user_dat}")
  endif()
]])
install(FILES ${CMAKE_SOURCE_DIR}/info/hakaron.svg DESTINATION .)
if(WIN32)
  # The manual is built into the program (F1); a copy to read without starting it.
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/info/help/ DESTINATION manual)
else()
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/hakaron-desktop-entry.sh DESTINATION .)
endif()

# Copied so that the folder keeps its Japanese buttons on a machine without Qt's translations.
set(qt_translations "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}")
# Qt cross-built for Windows comes without translations: the host's are the same texts.
if(CMAKE_CROSSCOMPILING AND NOT EXISTS "${qt_translations}/qtbase_ja.qm")
  set(qt_translations /usr/share/qt6/translations)
endif()
if(EXISTS "${qt_translations}/qtbase_ja.qm")
  install(FILES "${qt_translations}/qtbase_ja.qm" DESTINATION translations)
else()
  message(WARNING "qtbase_ja.qm not found in ${qt_translations}: install qt6-translations-l10n "
                  "for Japanese message-box buttons")
endif()

if(WIN32)
  return()  # the Windows folder is packed by scripts/package-windows.sh
endif()

# The desktop entry names the folder's absolute path, so it is written at install time. A
# CPack staging folder is not where the user will unpack the archive: there the folder's own
# hakaron-desktop-entry.sh writes the entry after unpacking.
install(CODE [[
  get_filename_component(hakaron_dir "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
  if(NOT hakaron_dir MATCHES "/_CPack_Packages/")
    file(WRITE "$ENV{DESTDIR}${hakaron_dir}/hakaron.desktop"
"[Desktop Entry]
Type=Application
Name=Hakaron
Comment=身長体重計の測定データを記録します
Exec=\"${hakaron_dir}/hakaron\"
Path=${hakaron_dir}
Icon=${hakaron_dir}/hakaron.svg
Terminal=false
Categories=Utility;
")
    message(STATUS "Desktop entry: $ENV{DESTDIR}${hakaron_dir}/hakaron.desktop")
  endif()
]])

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME hakaron)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME hakaron-${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Records a height-weight meter's readings")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
