#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <memory>

//==============================================================================
/** One of the program's own pictures, at the size the pages were laid out for
    and, for most, at twice that size.

    Where a logical pixel is one pixel of the display (100 %), the standard
    picture is drawn, so that the pages look exactly as they were made. On
    displays scaled above that (125 %, 150 %, 200 %), the doubled one is drawn:
    it is made smaller or kept at its size there rather than enlarged, so the
    artwork stays as sharp as the text. A picture without a doubled version
    draws its standard one everywhere.

    The doubled version is decoded when it is first drawn, so that a display
    at 100 % never pays for it; copies of a picture share it.
*/
class Picture
{
public:
    Picture() = default;
    Picture (juce::Image standardImage, juce::Image doubledImage);

    /** Decodes the picture from PNG data embedded in the program; the
        doubled version may be left out. */
    static Picture fromEmbedded (const void* standardData,
                                 int standardSize,
                                 const void* doubledData = nullptr,
                                 int doubledSize = 0);

    /** The same from embedded data in DrawnImageFormat: a picture kept at
        the very size and with the very pixels it is drawn with. */
    static Picture fromDrawn (const void* standardData,
                              int standardSize,
                              const void* doubledData = nullptr,
                              int doubledSize = 0);

    //==============================================================================
    bool isValid() const noexcept { return standard.isValid(); }

    /** The picture at the size the pages were laid out for. */
    const juce::Image& getStandard() const noexcept { return standard; }

    /** The version to draw where each logical pixel covers this many pixels
        of the display in each direction. */
    const juce::Image& forScale (float displayPixelsPerPixel) const;

    /** The version to draw into this context, by its scale. */
    const juce::Image& forContext (juce::Graphics& g) const;

private:
    //==============================================================================
    using Decoder = std::function<juce::Image (const void*, int)>;

    Picture (const Decoder& decode, const void* standardData, int standardSize, const void* doubledData, int doubledSize);

    struct Doubled
    {
        Decoder decode;
        const void* data = nullptr;
        int size = 0;
        bool decoded = false;
        juce::Image image;
    };

    juce::Image standard;
    std::shared_ptr<Doubled> doubled;

    JUCE_LEAK_DETECTOR (Picture)
};
