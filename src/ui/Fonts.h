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

class FontFace;

/** The shaping engine's view of the embedded face a font is made of (the
    regular face for a font of any other face): the face, the font's em size
    in pixels as the framework draws it, and the face's weight (400 or 500).
    Text the framework cannot draw as written is laid out with it
    (TextLine). */
struct ShapingFace
{
    const FontFace* face = nullptr;
    float emSize = 0.0f;
    int weight = 400;
};

ShapingFace shapingFaceOf (const juce::Font& font);

/** The factor by which a font's height differs from the height asked for:
    1 on Windows, the ratio of the two kinds of line metrics elsewhere. */
float embeddedFontHeightScale();
