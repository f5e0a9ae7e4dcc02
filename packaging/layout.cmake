# SPDX-License-Identifier: GPL-3.0-or-later
# Where installed files go. The Debian package follows Debian's layout for
# games: programs in games/, their read-only data in share/games/cantiere.
# A plain install (cmake --install, any prefix) keeps bin/ and share/cantiere,
# so a prefix such as ~/.local puts the programs on the usual PATH.
include(GNUInstallDirs)
option(CANTIERE_GAMES_LAYOUT "Install the programs in games/ and their data in share/games/cantiere" OFF)
if(CANTIERE_GAMES_LAYOUT)
  set(CANTIERE_BIN_INSTALL_DIR games)
  set(CANTIERE_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/games/cantiere)
else()
  set(CANTIERE_BIN_INSTALL_DIR ${CMAKE_INSTALL_BINDIR})
  set(CANTIERE_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/cantiere)
endif()
