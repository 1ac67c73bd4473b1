# Writes share/applications/meshshade.desktop at install time, with the folder
# of the shipped files under the prefix of this install, and records it for
# make uninstall. MESHSHADE_DESKTOP_ENTRY names the template.
set(entry "${CMAKE_INSTALL_PREFIX}/share/applications/meshshade.desktop")
set(MESHSHADE_DATA_DIR "${CMAKE_INSTALL_PREFIX}/share/meshshade")
message(STATUS "Installing: $ENV{DESTDIR}${entry}")
configure_file("${MESHSHADE_DESKTOP_ENTRY}" "$ENV{DESTDIR}${entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
