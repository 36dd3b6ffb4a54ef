# The text stack behind names in every script: HarfBuzz shapes and reads the
# glyphs, FriBidi orders right-to-left runs, utf8proc finds grapheme clusters
# and character categories. On Linux they and fontconfig (which finds the
# installed font for a character) are Debian's; for Windows they are
# cross-built static libraries (scripts/windows/build-deps.sh) and DirectWrite
# finds the fonts.

add_library(auralis_text_libraries INTERFACE)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    find_path(AURALIS_HARFBUZZ_INCLUDE_DIR hb.h PATH_SUFFIXES harfbuzz REQUIRED)
    find_path(AURALIS_FRIBIDI_INCLUDE_DIR fribidi.h PATH_SUFFIXES fribidi REQUIRED)
    find_path(AURALIS_UTF8PROC_INCLUDE_DIR utf8proc.h REQUIRED)
    find_library(AURALIS_HARFBUZZ_LIBRARY NAMES libharfbuzz.a REQUIRED)
    find_library(AURALIS_FRIBIDI_LIBRARY NAMES libfribidi.a REQUIRED)
    find_library(AURALIS_UTF8PROC_LIBRARY NAMES libutf8proc.a REQUIRED)

    target_include_directories(auralis_text_libraries INTERFACE
        "${AURALIS_HARFBUZZ_INCLUDE_DIR}" "${AURALIS_FRIBIDI_INCLUDE_DIR}" "${AURALIS_UTF8PROC_INCLUDE_DIR}")
    target_compile_definitions(auralis_text_libraries INTERFACE
        FRIBIDI_LIB_STATIC UTF8PROC_STATIC)
    target_link_libraries(auralis_text_libraries INTERFACE
        "${AURALIS_HARFBUZZ_LIBRARY}" "${AURALIS_FRIBIDI_LIBRARY}" "${AURALIS_UTF8PROC_LIBRARY}" dwrite)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(AURALIS_TEXT REQUIRED IMPORTED_TARGET harfbuzz fribidi libutf8proc fontconfig)
    target_link_libraries(auralis_text_libraries INTERFACE PkgConfig::AURALIS_TEXT)
endif()
