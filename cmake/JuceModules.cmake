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

    target_compile_definitions(auralis_juce PUBLIC JUCE_USE_DIRECTWRITE=0)
    target_include_directories(auralis_juce PRIVATE
        "${AURALIS_PNG_INCLUDE_DIR}" "${AURALIS_JPEG_INCLUDE_DIR}")
    target_link_libraries(auralis_juce PUBLIC
        "${AURALIS_PNG_LIBRARY}" "${AURALIS_JPEG_LIBRARY}" "${AURALIS_ZLIB_LIBRARY}")
endif()

set_target_properties(auralis_juce PROPERTIES POSITION_INDEPENDENT_CODE ON)
