# The Debian package: the program (and the terminal simulator when it is
# built), its menu entry and its icon in the hicolor theme, and quillmoor-cli
# with its man page and bash completion.
include(GNUInstallDirs)

install(TARGETS quillmoor quillmoor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Debian's man pages are compressed; gzip -n leaves the time out, so that the
# package is the same from one build to the next.
set(cli_man ${PROJECT_BINARY_DIR}/quillmoor-cli.1.gz)
add_custom_command(OUTPUT ${cli_man}
    COMMAND sh -c "gzip -9nc '${PROJECT_SOURCE_DIR}/data/quillmoor-cli.1' > '${cli_man}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/data/quillmoor-cli.1 VERBATIM)
add_custom_target(quillmoor-cli-man ALL DEPENDS ${cli_man})
install(FILES ${cli_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/quillmoor-cli.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quillmoor-cli)
if(TARGET quillmoor-terminal)
    install(TARGETS quillmoor-terminal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/quillmoor.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/quillmoor-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME quillmoor.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/quillmoor.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillmoor")
set(CPACK_PACKAGE_CONTACT "Quillmoor developers <quillmoor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "debugging tool for a face-recognition access and canteen-payment terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "Sends the terminal's HTTP commands and fetches its photos over FTP, and runs an embedded HTTP server that receives the terminal's callbacks and plays its online payment service.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Not found by the library scan: the Chinese font the pages are drawn in, Qt's
# platform plugins, without which no window opens, and libcurl, which the photo
# fetch loads when it first runs.
set(quillmoor_extra_depends "fonts-wqy-microhei, qt6-qpa-plugins, libcurl4")
if(TARGET quillmoor-terminal)
    # The simulator serves its photos through pyftpdlib.
    string(APPEND quillmoor_extra_depends ", python3-pyftpdlib")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${quillmoor_extra_depends})
include(CPack)
