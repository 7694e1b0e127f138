# Installing the program (cmake --install) and packing it (CPack).
#
# With the Qt backend: bin/ponderix, the desktop entry, the AppStream metadata,
# the icon theme's icons and the manual page, under the usual GNU folders; CPack
# packs them as a Debian package, which adds the Debian copyright file and
# changelog. With the Win32 backend: ponderix.exe, LICENSE and README.txt side
# by side; CPack packs them as a zip and as a Windows Installer package.
#
# The same sources give the same package bytes, wherever and whenever they
# are built: see PonderixReproducibleDeb.cmake and PonderixWindowsPackages.cmake.
#
# Install components: Program (everything a user needs), License (the licence
# for a plain cmake --install; the Debian package carries it as its copyright
# file instead) and Debian (the files only the package has, not installed by
# cmake --install).

include(GNUInstallDirs)

set(PONDERIX_APP_ID example.tarnwick.Ponderix)
set(PONDERIX_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(PONDERIX_GENERATED ${PROJECT_BINARY_DIR}/packaging)
set(PONDERIX_DEBIAN_REVISION 1)

# The licence's copyright line and its paragraphs, for the files that quote it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE ponderix_license)
if(NOT ponderix_license MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.+)$")
    message(FATAL_ERROR "LICENSE: no \"Copyright (c) ...\" line followed by the licence")
endif()
set(PONDERIX_COPYRIGHT "${CMAKE_MATCH_1}")
set(ponderix_license_body "${CMAKE_MATCH_2}")

if(PONDERIX_BACKEND STREQUAL "qt")
    install(TARGETS ponderix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Program)
    install(FILES ${PONDERIX_PACKAGING}/${PONDERIX_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT Program)
    install(FILES ${PONDERIX_PACKAGING}/${PONDERIX_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT Program)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/hicolor
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT Program)

    # Manual pages and Debian changelogs are installed compressed, without a
    # time stamp or file name in the gzip header (gzip -n), so a rebuild gives
    # the same bytes.
    function(ponderix_gzip source output)
        get_filename_component(name ${output} NAME_WLE)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E copy ${source} ${PONDERIX_GENERATED}/${name}
            COMMAND gzip -9nf ${PONDERIX_GENERATED}/${name}
            DEPENDS ${source}
            COMMENT "Compressing ${name}"
            VERBATIM)
    endfunction()
    ponderix_gzip(${PONDERIX_PACKAGING}/ponderix.1 ${PONDERIX_GENERATED}/ponderix.1.gz)
    ponderix_gzip(${PONDERIX_PACKAGING}/debian/changelog
                  ${PONDERIX_GENERATED}/changelog.Debian.gz)
    add_custom_target(ponderix_installed_docs ALL
        DEPENDS ${PONDERIX_GENERATED}/ponderix.1.gz ${PONDERIX_GENERATED}/changelog.Debian.gz)
    install(FILES ${PONDERIX_GENERATED}/ponderix.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Program)

    # share/doc/ponderix, named after the program as Debian names it, not
    # after the project (GNUInstallDirs' DOCDIR would be share/doc/Ponderix).
    set(ponderix_docs ${CMAKE_INSTALL_DATAROOTDIR}/doc/ponderix)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${ponderix_docs} COMPONENT License)

    # Debian's machine-readable copyright file: the licence's paragraphs
    # indented by one space, with "." for the empty lines between them.
    string(REGEX REPLACE "\n+$" "" ponderix_license_body "${ponderix_license_body}")
    string(REPLACE "\n\n" "\n.\n" ponderix_license_body "${ponderix_license_body}")
    string(REPLACE "\n" "\n " PONDERIX_LICENSE_PARAGRAPHS " ${ponderix_license_body}")
    configure_file(${PONDERIX_PACKAGING}/debian/copyright.in ${PONDERIX_GENERATED}/copyright
                   @ONLY)
    install(FILES ${PONDERIX_GENERATED}/copyright ${PONDERIX_GENERATED}/changelog.Debian.gz
            DESTINATION ${ponderix_docs} COMPONENT Debian EXCLUDE_FROM_ALL)

    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL Program Debian)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_NAME ponderix)
    set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_DEBIAN_PACKAGE_RELEASE ${PONDERIX_DEBIAN_REVISION})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # ponderix_1.00-1_amd64.deb
    set(CPACK_DEBIAN_PACKAGE_SECTION math)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarnwick <packages@tarnwick.example>")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
    # The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the rest.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ponderix works out the body mass index (BMI) from a weight in kilograms or
pounds and a height from 4' to 6' 11\". It shows the result in the colour of
its band (underweight, normal, overweight, obese, extreme) and the weight
that would give a BMI of 22.5 at that height, and remembers the last weight
and height for the next start.")
    # The libraries come from dpkg-shlibdeps; the fonts the windows ask for
    # (Verdana, Tahoma, Arial, Times New Roman) are answered by these, Wine's
    # Tahoma and MS Sans Serif read by path.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, fonts-wine")
    # Qt's Wayland platform: native on a Wayland session, Xwayland without it.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PonderixReproducibleDeb.cmake)
elseif(PONDERIX_BACKEND STREQUAL "win32")
    # Windows' own editors want CR LF line ends.
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PONDERIX_GENERATED}/LICENSE @ONLY
                   NEWLINE_STYLE CRLF)
    configure_file(${PONDERIX_PACKAGING}/windows/README.txt ${PONDERIX_GENERATED}/README.txt @ONLY
                   NEWLINE_STYLE CRLF)
    install(TARGETS ponderix RUNTIME DESTINATION . COMPONENT Program)
    install(FILES ${PONDERIX_GENERATED}/LICENSE ${PONDERIX_GENERATED}/README.txt
            DESTINATION . COMPONENT Program)

    # ponderix-1.00-win64.zip and ponderix-1.00-win64.msi, from the staged files.
    set(CPACK_GENERATOR External)
    set(CPACK_EXTERNAL_ENABLE_STAGING ON)
    set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/PonderixWindowsPackages.cmake)
    set(CPACK_PACKAGE_FILE_NAME ponderix-${PROJECT_VERSION}-win64)
    set(CPACK_COMPONENTS_ALL Program)
endif()

if(PONDERIX_BACKEND STREQUAL "qt" OR PONDERIX_BACKEND STREQUAL "win32")
    set(CPACK_PACKAGE_NAME ponderix)
    set(CPACK_PACKAGE_VENDOR Tarnwick)
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
    set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
    set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
    set(CPACK_VERBATIM_VARIABLES ON)  # the description quotes 6' 11"
    set(CPACK_STRIP_FILES ON)
    set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
    set(CPACK_PONDERIX_SOURCE_DIR ${PROJECT_SOURCE_DIR})
    set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
        OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    include(CPack)
endif()
