#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The two embedded Alegreya Sans faces. Each typeface is made once, on first
    use, and kept for the life of the process. A height above 0 sets the
    font's height; otherwise the typeface's default height stays.

    The page layouts are made for the size Windows draws these faces at. Other
    platforms size a face by different line metrics, so there the height is
    scaled to draw the glyphs at the Windows size (see embeddedFontHeightScale).
*/
juce::Font regularFont (float height);
juce::Font mediumFont (float height);

/** The factor by which a font's height differs from the height asked for:
    1 on Windows, the ratio of the two kinds of line metrics elsewhere. */
float embeddedFontHeightScale();
