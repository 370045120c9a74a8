# The Debian package: `cpack -G DEB` in the build folder packages what
# `cmake --install` installs, under /usr. dpkg-shlibdeps works out the shared
# libraries it needs; the rest the game finds at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonquill)
set(CPACK_PACKAGE_VENDOR "The Tonquill developers")
set(CPACK_PACKAGE_CONTACT "${TONQUILL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard practice game driven by MIDI songs")
set(CPACK_PACKAGE_DESCRIPTION
    "Tonquill plays Standard MIDI Files and teaches their tunes on the computer
keyboard, whose home row becomes a piano. DEMO plays a song with its
measure, beat, tempo and lyrics; TRAINING waits at each note of the tune
until you play it; GAME judges every press and keeps the five best scores
of each song. A USB or virtual MIDI keyboard plays the piano too.
.
Three songs come with the game, one of them with Japanese lyrics.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TONQUILL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TONQUILL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A General MIDI SoundFont for the built-in synthesizer (without one the game
# is silent) and the Japanese Gothic face every text of the game is drawn in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm, fonts-ipafont-gothic")
# The FILE button's chooser; without either the game says which to install.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity | kdialog")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
