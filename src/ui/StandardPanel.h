#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The framed panel that several pages draw after their background: a red
    rounded frame with a dark header band across its top.
*/
class StandardPanel
{
public:
    /** Draws the frame at (63, 140, 416, 328), the header band at
        (64, 141, 414, 57) and the band's black outline at (64, 141, 414, 58),
        one pixel taller than the band. */
    static void paint (juce::Graphics& g);

    static juce::Rectangle<float> frameArea() { return { 63.0f, 140.0f, 416.0f, 328.0f }; }
    static juce::Rectangle<float> bandArea() { return { 64.0f, 141.0f, 414.0f, 57.0f }; }
    static juce::Rectangle<float> bandOutlineArea() { return { 64.0f, 141.0f, 414.0f, 58.0f }; }
};
