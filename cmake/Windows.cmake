# What the Windows program has beyond the shared sources: its resources
# (icon groups, version information, application manifest) and its
# installer. Included by entry/CMakeLists.txt when building for Windows.

set(AURALIS_WINDOWS_DIR "${CMAKE_SOURCE_DIR}/resources/windows")
set(AURALIS_ICON_FILE "${CMAKE_SOURCE_DIR}/resources/icons/app.ico")

# Adds the resources from resources/windows/Auralis.rc.in. JUCE would add a
# resource script of its own with a second version block, so that one is left
# out of the build.
function(auralis_add_windows_resources target)
    cmake_parse_arguments(ARG "" "PRODUCT_NAME;COMPANY_NAME" "" ${ARGN})

    set(generated_dir "${CMAKE_CURRENT_BINARY_DIR}/windows-resources")

    set(AURALIS_PRODUCT_NAME "${ARG_PRODUCT_NAME}")
    set(AURALIS_COMPANY_NAME "${ARG_COMPANY_NAME}")
    set(AURALIS_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
    set(AURALIS_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    set(AURALIS_MANIFEST_FILE "${generated_dir}/Auralis.manifest")

    configure_file("${AURALIS_WINDOWS_DIR}/Auralis.manifest.in" "${AURALIS_MANIFEST_FILE}" @ONLY)
    configure_file("${AURALIS_WINDOWS_DIR}/Auralis.rc.in" "${generated_dir}/Auralis.rc" @ONLY)

    target_sources(${target} PRIVATE "${generated_dir}/Auralis.rc")
    set_property(SOURCE "${generated_dir}/Auralis.rc" APPEND PROPERTY
        OBJECT_DEPENDS "${AURALIS_ICON_FILE}" "${AURALIS_MANIFEST_FILE}")

    get_target_property(juce_generated_dir ${target} JUCE_GENERATED_SOURCES_DIRECTORY)
    set_source_files_properties("${juce_generated_dir}/resources.rc" PROPERTIES HEADER_FILE_ONLY TRUE)
endfunction()

# Adds the target <target>_installer, which checks the program's imports and
# resources (scripts/windows/verify-exe.py) and builds the NSIS installer
# from resources/windows/Auralis.nsi into the build folder, with a stripped
# copy of the program and the font licence. The stripped program, the
# uninstaller and the installer are signed with the code-signing certificate
# that the build's environment names (scripts/windows/sign.sh), or left
# unsigned when it names none. Also writes windows-build.env into the build
# folder: the paths of the program, of the three artefacts and of the
# installer, the product name and the version, for the scripts under
# scripts/windows/.
function(auralis_add_windows_installer target)
    cmake_parse_arguments(ARG "" "PRODUCT_NAME;COMPANY_NAME;LICENCE_FILE" "" ${ARGN})

    find_program(AURALIS_MAKENSIS makensis)
    find_program(AURALIS_PYTHON3 python3)
    find_program(AURALIS_STRIP NAMES ${CMAKE_STRIP} x86_64-w64-mingw32-strip)

    if(NOT AURALIS_MAKENSIS OR NOT AURALIS_PYTHON3)
        message(STATUS "makensis or python3 not found: no installer target")
        return()
    endif()

    set(staging_dir "${CMAKE_CURRENT_BINARY_DIR}/installer")
    set(exe_name "${ARG_PRODUCT_NAME}.exe")
    set(installer "${CMAKE_BINARY_DIR}/Auralis-${PROJECT_VERSION}-Setup.exe")
    set(script "${AURALIS_WINDOWS_DIR}/Auralis.nsi")
    set(verifier "${CMAKE_SOURCE_DIR}/scripts/windows/verify-exe.py")
    set(signer "${CMAKE_SOURCE_DIR}/scripts/windows/sign.sh")
    set(uninstaller_copy "${staging_dir}/Uninstall.exe")

    file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/windows-build.env" CONTENT
"AURALIS_PRODUCT_NAME='${ARG_PRODUCT_NAME}'
AURALIS_COMPANY_NAME='${ARG_COMPANY_NAME}'
AURALIS_VERSION='${PROJECT_VERSION}'
AURALIS_PROGRAM='$<TARGET_FILE:${target}>'
AURALIS_INSTALLER='${installer}'
AURALIS_SHIPPED_PROGRAM='${staging_dir}/${exe_name}'
AURALIS_SHIPPED_UNINSTALLER='${uninstaller_copy}'
")

    add_custom_command(OUTPUT "${installer}"
        COMMAND "${AURALIS_PYTHON3}" "${verifier}" "$<TARGET_FILE:${target}>" "${ARG_PRODUCT_NAME}" "${PROJECT_VERSION}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${staging_dir}"
        COMMAND "${AURALIS_STRIP}" -o "${staging_dir}/${exe_name}" "$<TARGET_FILE:${target}>"
        COMMAND "${signer}" "${ARG_PRODUCT_NAME}" "${staging_dir}/${exe_name}"
        COMMAND "${AURALIS_MAKENSIS}" -V2 -NOCD
            "-DPRODUCT_NAME=${ARG_PRODUCT_NAME}"
            "-DCOMPANY_NAME=${ARG_COMPANY_NAME}"
            "-DVERSION=${PROJECT_VERSION}"
            "-DVERSION_QUAD=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0"
            "-DEXE_FILE=${staging_dir}/${exe_name}"
            "-DEXE_NAME=${exe_name}"
            "-DLICENCE_FILE=${ARG_LICENCE_FILE}"
            "-DICON_FILE=${AURALIS_ICON_FILE}"
            "-DOUT_FILE=${installer}"
            "-DSIGN_SCRIPT=${signer}"
            "-DUNINSTALLER_COPY=${uninstaller_copy}"
            "${script}"
        BYPRODUCTS "${staging_dir}/${exe_name}" "${uninstaller_copy}"
        DEPENDS ${target} "${script}" "${verifier}" "${signer}" "${ARG_LICENCE_FILE}" "${AURALIS_ICON_FILE}"
        COMMENT "Building the installer ${installer}"
        VERBATIM)

    add_custom_target(${target}_installer ALL DEPENDS "${installer}")
endfunction()
