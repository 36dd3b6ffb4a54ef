# What the Linux program installs, and its Debian package (CPack's DEB
# generator). Included by the top-level CMakeLists.txt when the program is
# built for Linux.
#
#   cmake --install <build> [--prefix <dir>] [--strip]
#   cpack --config <build>/CPackConfig.cmake      (or: cd <build> && cpack)
#
# scripts/package/check-deb.sh builds the package, installs it on this machine
# and checks it as a user would.

include(GNUInstallDirs)

set(AURALIS_PACKAGE_NAME "auralis-with-vst-spherion")
set(AURALIS_LINUX_DIR "${CMAKE_SOURCE_DIR}/resources/linux")
set(auralis_generated_dir "${CMAKE_BINARY_DIR}/linux-package")

#===============================================================================
# The program, under a command name without blanks. Its own name stays the
# product's: the window title and the desktop entry show it.
install(PROGRAMS "$<TARGET_FILE:Auralis>"
    DESTINATION "${CMAKE_INSTALL_BINDIR}"
    RENAME "${AURALIS_PACKAGE_NAME}"
    COMPONENT program)

# install(PROGRAMS) does not take part in --strip (nor CPACK_STRIP_FILES), so
# the installed copy is stripped here when stripping was asked for.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP AND NOT \"${CMAKE_STRIP}\" STREQUAL \"\")
        execute_process(COMMAND \"${CMAKE_STRIP}\"
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${AURALIS_PACKAGE_NAME}\"
            RESULT_VARIABLE strip_result)
        if(NOT strip_result EQUAL 0)
            message(FATAL_ERROR \"Could not strip the program\")
        endif()
    endif()"
    COMPONENT program)

#===============================================================================
# Desktop entry and icons (the hicolor theme, one size per folder).
set(AURALIS_PRODUCT_NAME "${auralis_product_name}")
configure_file("${AURALIS_LINUX_DIR}/auralis.desktop.in"
    "${auralis_generated_dir}/${AURALIS_PACKAGE_NAME}.desktop" @ONLY)

install(FILES "${auralis_generated_dir}/${AURALIS_PACKAGE_NAME}.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
    COMPONENT program)

foreach(size 16 32 48 64 128 256)
    install(FILES "${CMAKE_SOURCE_DIR}/resources/icons/icon-${size}.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME "${AURALIS_PACKAGE_NAME}.png"
        COMPONENT program)
endforeach()

#===============================================================================
# Licence texts: the fonts' SIL Open Font License as fetched with the fonts,
# and the package's copyright file, which quotes it in full.
set(auralis_font_licence "${AURALIS_FONT_DIR}/LICENSE_FONT")
file(READ "${auralis_font_licence}" auralis_font_licence_text)

# A copyright file's licence text is indented by one blank, with " ." for an
# empty line.
string(REGEX REPLACE "[ \t\r]+\n" "\n" auralis_licence_lines "${auralis_font_licence_text}")
string(STRIP "${auralis_licence_lines}" auralis_licence_lines)
string(REPLACE "\n" ";" auralis_licence_lines "${auralis_licence_lines}")
set(AURALIS_FONT_LICENCE_INDENTED "")
foreach(line IN LISTS auralis_licence_lines)
    if(line STREQUAL "")
        string(APPEND AURALIS_FONT_LICENCE_INDENTED " .\n")
    else()
        string(APPEND AURALIS_FONT_LICENCE_INDENTED " ${line}\n")
    endif()
endforeach()

set(AURALIS_COMPANY_NAME "${auralis_company_name}")
configure_file("${AURALIS_LINUX_DIR}/copyright.in" "${auralis_generated_dir}/copyright" @ONLY)

set(auralis_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/${AURALIS_PACKAGE_NAME}")
install(FILES "${auralis_generated_dir}/copyright" DESTINATION "${auralis_doc_dir}" COMPONENT program)
install(FILES "${auralis_font_licence}" DESTINATION "${auralis_doc_dir}" COMPONENT program)

#===============================================================================
# The Debian package. Its post-install step creates the shared data folder
# (resources/linux/postinst.in); the folder itself is not part of the package,
# so removing or purging the package leaves it and the profiles in it.
configure_file("${AURALIS_LINUX_DIR}/postinst.in" "${auralis_generated_dir}/postinst" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "${AURALIS_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "${auralis_company_name}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${auralis_company_name}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Personal HRTF set-up for the VST Spherion decoder plug-in")
set(CPACK_PACKAGE_DESCRIPTION
"${auralis_product_name} creates a listener's Auralis profile: it
shows a QR code that leads a phone to the ear-photo upload, waits until the
personal HRTF is ready and downloads it into the shared data folder that the
VST Spherion decoder plug-in reads. It later checks for newer HRTF data and
newer software.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${auralis_company_name}")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The framework opens the X11 libraries at run time, so dpkg-shlibdeps cannot
# see them; the service is reached over verified TLS, which needs the CA set.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libx11-6, libxext6, libxrandr2, libxcursor1, libxinerama1, libxrender1, ca-certificates")

# Names are drawn in their own script with an installed face when the
# embedded faces lack it (the text libraries come in through SHLIBDEPS):
# these families cover the world's scripts and colour emoji.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji")

set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${auralis_generated_dir}/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
