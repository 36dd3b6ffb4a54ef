# The JUCE modules the product uses, compiled once into a static library of
# their own, so that the product library, the program and the tests share one
# copy and a change to product code never recompiles the framework.

add_library(auralis_juce STATIC)

target_link_libraries(auralis_juce
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_cryptography
        juce::juce_product_unlocking
    PUBLIC
        juce::juce_recommended_config_flags)

target_compile_definitions(auralis_juce
    PUBLIC
        JUCE_WEB_BROWSER=0
        JUCE_STANDALONE_APPLICATION=1
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_STRICT_REFCOUNTEDPOINTER=1)

# Consumers see the modules' headers and definitions without compiling the
# module sources a second time.
target_include_directories(auralis_juce INTERFACE
    $<TARGET_PROPERTY:auralis_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(auralis_juce INTERFACE
    $<TARGET_PROPERTY:auralis_juce,COMPILE_DEFINITIONS>)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # juce::URL goes through libcurl; images decode with the system's libpng
    # and libjpeg.
    target_compile_definitions(auralis_juce PUBLIC
        JUCE_USE_CURL=1
        JUCE_USE_XSHM=1)
    target_link_libraries(auralis_juce PUBLIC
        juce::pkgconfig_JUCE_CURL_LINUX_DEPS
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # juce::URL goes through the system's WinINet. Debian's JUCE carries no
    # zlib, libpng or libjpeg of its own: the program links static ones built
    # for MinGW-w64 (scripts/windows/build-deps.sh). With MinGW, JUCE draws
    # text through GDI rather than DirectWrite.
    find_path(AURALIS_PNG_INCLUDE_DIR png.h REQUIRED)
    find_path(AURALIS_JPEG_INCLUDE_DIR jpeglib.h REQUIRED)
    find_library(AURALIS_PNG_LIBRARY NAMES libpng16.a REQUIRED)
    find_library(AURALIS_JPEG_LIBRARY NAMES libjpeg.a REQUIRED)
    find_library(AURALIS_ZLIB_LIBRARY NAMES libz.a REQUIRED)

    # The framework's WinINet stream closes its connection handles under its
    # lock when it is cancelled, but without it when an open fails, so a stop
    # at that moment could close a handle twice. The core module is compiled
    # from a copy whose closing takes that lock too (the framework's critical
    # sections are re-entrant, so the cancel that already holds it goes on).
    get_target_property(auralis_core_sources juce::juce_core INTERFACE_SOURCES)
    list(FILTER auralis_core_sources INCLUDE REGEX "/juce_core/juce_core\\.cpp$")
    list(GET auralis_core_sources 0 auralis_core_unit)
    get_filename_component(auralis_core_module "${auralis_core_unit}" DIRECTORY)
    set(auralis_patched_core "${CMAKE_BINARY_DIR}/juce-patched/juce_core")
    file(COPY "${auralis_core_module}/" DESTINATION "${auralis_patched_core}")
    file(READ "${auralis_core_module}/native/juce_win32_Network.cpp" auralis_network)
    set(auralis_unlocked_close "    void closeConnection()\n    {\n        HINTERNET requestCopy = request;")
    set(auralis_locked_close "    void closeConnection()\n    {\n        const ScopedLock lock (createConnectionLock);\n        HINTERNET requestCopy = request;")
    string(FIND "${auralis_network}" "${auralis_unlocked_close}" auralis_close_at)
    if(auralis_close_at EQUAL -1)
        message(FATAL_ERROR "The framework's WinINet stream is not the one this build knows how to mend")
    endif()
    string(REPLACE "${auralis_unlocked_close}" "${auralis_locked_close}" auralis_network "${auralis_network}")
    file(WRITE "${auralis_patched_core}/native/juce_win32_Network.cpp" "${auralis_network}")
    get_target_property(auralis_core_sources juce::juce_core INTERFACE_SOURCES)
    list(TRANSFORM auralis_core_sources REPLACE "^.*/juce_core/juce_core\\.cpp$" "${auralis_patched_core}/juce_core.cpp")
    get_target_property(auralis_core_target juce::juce_core ALIASED_TARGET)
    if(NOT auralis_core_target)
        set(auralis_core_target juce::juce_core)
    endif()
    set_property(TARGET ${auralis_core_target} PROPERTY INTERFACE_SOURCES ${auralis_core_sources})

    target_compile_definitions(auralis_juce PUBLIC JUCE_USE_DIRECTWRITE=0)
    target_include_directories(auralis_juce PRIVATE
        "${AURALIS_PNG_INCLUDE_DIR}" "${AURALIS_JPEG_INCLUDE_DIR}")
    target_link_libraries(auralis_juce PUBLIC
        "${AURALIS_PNG_LIBRARY}" "${AURALIS_JPEG_LIBRARY}" "${AURALIS_ZLIB_LIBRARY}")
endif()

set_target_properties(auralis_juce PROPERTIES POSITION_INDEPENDENT_CODE ON)
