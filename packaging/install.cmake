# Installing the game as a desktop program: the executables, the songs that
# come with it, the menu entry and its icon, the AppStream metadata, the
# manual pages and the package's documents. The program finds its songs from
# its own place (../share/tonquill/songs beside bin/), so the installed tree
# can be moved as a whole. tests/install/installed_files.txt lists every file.
include(GNUInstallDirs)

set(TONQUILL_HOMEPAGE "https://tonquill.example.org" CACHE STRING
    "The project's home page, and the base of the screenshot the software centres show")
set(TONQUILL_APPSTREAM_ID "org.example.tonquill" CACHE STRING
    "The AppStream component id: the home page's domain reversed, then tonquill")
set(TONQUILL_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING
    "The licence of the program as an SPDX expression (none has been chosen yet)")
set(TONQUILL_MAINTAINER "The Tonquill developers <tonquill@example.org>" CACHE STRING
    "Who answers for the package, as 'Name <address>'")

# The release's day (2026-12-08) in seconds since 1970, written out in the
# two forms the AppStream release entry and the Debian changelog want.
set(TONQUILL_RELEASE_EPOCH 1796688000)
set(outerSourceDateEpoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${TONQUILL_RELEASE_EPOCH})
string(TIMESTAMP TONQUILL_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TONQUILL_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
if(outerSourceDateEpoch STREQUAL "")
  unset(ENV{SOURCE_DATE_EPOCH})
else()
  set(ENV{SOURCE_DATE_EPOCH} "${outerSourceDateEpoch}")
endif()

# The program looks for its songs at ../share/tonquill/songs from its own
# folder: other install folders would leave it without them.
file(RELATIVE_PATH songsFromPrograms ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/tonquill/songs)
if(NOT songsFromPrograms STREQUAL "../share/tonquill/songs")
  message(WARNING "The installed game will not find its songs: they go to ${songsFromPrograms} from its "
                  "folder, and it looks in ../share/tonquill/songs. Keep CMAKE_INSTALL_BINDIR and "
                  "CMAKE_INSTALL_DATADIR side by side (bin and share).")
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(desktopFiles ${CMAKE_BINARY_DIR}/data)
configure_file(data/tonquill.metainfo.xml.in ${desktopFiles}/tonquill.metainfo.xml @ONLY)

# Manual pages and the changelog are installed compressed, as Debian keeps
# them (gzip -n: no name or time inside, so the package is reproducible).
find_program(GZIP gzip REQUIRED)
set(compressedFiles)
foreach(source data/tonquill.6.in data/tonquill-trace.6.in packaging/changelog.in)
  get_filename_component(name ${source} NAME_WLE)
  configure_file(${source} ${desktopFiles}/plain/${name} @ONLY)
  add_custom_command(OUTPUT ${desktopFiles}/${name}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${desktopFiles}/plain/${name} ${desktopFiles}/${name}
                     COMMAND ${GZIP} -9nf ${desktopFiles}/${name}
                     DEPENDS ${desktopFiles}/plain/${name}
                     COMMENT "Compressing ${name}")
  list(APPEND compressedFiles ${desktopFiles}/${name}.gz)
endforeach()

# The menu icon is the window's icon picture, drawn larger.
find_package(ZLIB REQUIRED)
add_executable(make_icon tools/make_icon.cpp draw/bmp.cpp)
target_include_directories(make_icon PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_icon PRIVATE ZLIB::ZLIB)
set(iconSizes 48 128 256)
set(iconFiles)
foreach(size ${iconSizes})
  set(icon ${desktopFiles}/icons/${size}x${size}/tonquill.png)
  add_custom_command(OUTPUT ${icon}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${desktopFiles}/icons/${size}x${size}
                     COMMAND make_icon ${CMAKE_SOURCE_DIR}/assets/MAIN.bmp ${size} ${icon}
                     DEPENDS make_icon ${CMAKE_SOURCE_DIR}/assets/MAIN.bmp
                     COMMENT "Drawing the ${size} px icon")
  list(APPEND iconFiles ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${compressedFiles} ${iconFiles})

install(TARGETS tonquill tonquill-trace RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY assets/songs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tonquill/songs FILES_MATCHING PATTERN "*.mid")
install(FILES data/tonquill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktopFiles}/tonquill.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktopFiles}/tonquill.6.gz ${desktopFiles}/tonquill-trace.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES packaging/copyright ${desktopFiles}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
