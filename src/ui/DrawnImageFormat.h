#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The form in which the program keeps its own pictures as they are drawn:
    the framework's premultiplied ARGB pixels, exactly, so that a picture
    drawn one to one looks to the last bit as its larger original did when
    the framework scaled it into place (tools/artwork/ makes them). A PNG file
    cannot carry such pixels: its colours are stored unpremultiplied, and
    premultiplying them again on loading does not give every value back.

    The data is the four bytes "APIX", the width and the height as 16-bit
    little-endian numbers, then the pixels row by row, each as A, R, G and B,
    compressed with zlib.
*/
struct DrawnImageFormat
{
    /** The largest width or height read or written. */
    static constexpr int maximumSide = 4096;

    /** The picture in the data, or an invalid image when the data is not a
        whole picture of that form within the size limit. */
    static juce::Image read (const void* data, size_t size);

    /** Writes the picture (as ARGB); false when it is invalid, too large or
        the stream fails. */
    static bool write (const juce::Image& image, juce::OutputStream& out);
};
