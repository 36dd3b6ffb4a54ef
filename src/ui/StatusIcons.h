#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The two status icons shown beside a profile name: a filled disc of radius
    12 in a 24 x 24 box with a glyph cut out of it, an exclamation mark for an
    error and a tick for a valid name or a ready profile.

    The glyph's outline runs against the disc's, so with non-zero winding it
    leaves a hole through which whatever lies beneath shows.
*/
class StatusIcons
{
public:
    /** The error icon in its 24 x 24 box. */
    static juce::Path makeErrorIcon();

    /** The valid icon in its 24 x 24 box. */
    static juce::Path makeValidIcon();

    /** An icon scaled into the area, keeping its proportions, centred. */
    static juce::Path fittedInto (juce::Path icon, juce::Rectangle<float> area);

    /** The same outlines, each sub-path turned to run clockwise (on screen,
        y pointing down) or anticlockwise. */
    static juce::Path withOrientation (const juce::Path& path, bool clockwise);

private:
    //==============================================================================
    static juce::Path cutOutOfDisc (const juce::Path& glyph);
};
