#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** An embedded face as the framework would draw it on Linux, made without the
    framework's list of installed fonts.

    The framework makes a typeface from font data through its FreeType font
    list, and the first time it does, that list reads every font file in the
    system's font folders (about 290 on a desktop with the Noto fonts: some
    17 ms before the first frame can be drawn). The program draws with its two
    embedded faces only, so it makes them here on FreeType directly, glyph by
    glyph exactly as the framework's FreeType typeface does (outlines unscaled
    and unhinted, in units of ascender minus descender), so that every page
    draws the same pixels.

    make gives the framework's own typeface where this one could differ: on
    other platforms, and for a face that carries kerning pairs, which this
    one does not read. Message thread only.
*/
class EmbeddedTypeface
{
public:
    /** The typeface of the font data, which must outlive it. */
    static juce::Typeface::Ptr make (const void* data, size_t size);
};
