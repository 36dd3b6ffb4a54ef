# Embedded artwork and fonts. The fonts are fetched (and their checksums
# verified) at configure time; they are never committed.

set(AURALIS_FONT_DIR "${CMAKE_SOURCE_DIR}/resources/fonts")

execute_process(
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/fetch-fonts.sh" "${AURALIS_FONT_DIR}"
    RESULT_VARIABLE auralis_fonts_result)

if(NOT auralis_fonts_result EQUAL 0)
    message(FATAL_ERROR "Could not fetch the Alegreya Sans fonts (scripts/fetch-fonts.sh)")
endif()

# The pictures that the pages draw much smaller than their originals, kept
# at the size they are drawn and with the pixels the originals gave there
# (tools/artwork/): the originals beside them are not embedded.
set(auralis_drawn_pictures)
foreach(picture IN ITEMS partner-logo refresh-icon)
    list(APPEND auralis_drawn_pictures
        "${CMAKE_SOURCE_DIR}/resources/images/drawn/${picture}.apix"
        "${CMAKE_SOURCE_DIR}/resources/images/drawn/${picture}@2x.apix")
endforeach()

juce_add_binary_data(auralis_resources
    NAMESPACE AuralisBinaryData
    HEADER_NAME AuralisBinaryData.h
    SOURCES
        "${AURALIS_FONT_DIR}/AlegreyaSans_400Regular.ttf"
        "${AURALIS_FONT_DIR}/AlegreyaSans_500Medium.ttf"
        "${CMAKE_SOURCE_DIR}/resources/images/powered-by.png"
        "${CMAKE_SOURCE_DIR}/resources/images/powered-by@2x.png"
        "${CMAKE_SOURCE_DIR}/resources/images/decoder-logo.png"
        "${CMAKE_SOURCE_DIR}/resources/images/decoder-logo@2x.png"
        "${CMAKE_SOURCE_DIR}/resources/images/back-arrow.png"
        "${CMAKE_SOURCE_DIR}/resources/images/back-arrow@2x.png"
        "${CMAKE_SOURCE_DIR}/resources/images/plugin-screenshot.png"
        ${auralis_drawn_pictures})

set_target_properties(auralis_resources PROPERTIES POSITION_INDEPENDENT_CODE ON)
