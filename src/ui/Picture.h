#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** One of the program's own pictures, at the size the pages were laid out for
    and, for most, at twice that size.

    Where a logical pixel is one pixel of the display (100 %), the standard
    picture is drawn, so that the pages look exactly as they were made. On
    displays scaled above that (125 %, 150 %, 200 %), the doubled one is drawn:
    it is made smaller or kept at its size there rather than enlarged, so the
    artwork stays as sharp as the text. A picture without a doubled version
    (one far larger than it is ever drawn) draws its standard one everywhere.
*/
class Picture
{
public:
    Picture() = default;
    Picture (juce::Image standardImage, juce::Image doubledImage);

    /** Decodes the picture from the program's embedded data; the doubled
        version may be left out. */
    static Picture fromEmbedded (const void* standardData,
                                 int standardSize,
                                 const void* doubledData = nullptr,
                                 int doubledSize = 0);

    //==============================================================================
    bool isValid() const noexcept { return standard.isValid(); }

    /** The picture at the size the pages were laid out for. */
    const juce::Image& getStandard() const noexcept { return standard; }

    /** The version to draw where each logical pixel covers this many pixels
        of the display in each direction. */
    const juce::Image& forScale (float displayPixelsPerPixel) const noexcept;

    /** The version to draw into this context, by its scale. */
    const juce::Image& forContext (juce::Graphics& g) const;

private:
    //==============================================================================
    juce::Image standard, doubled;

    JUCE_LEAK_DETECTOR (Picture)
};
