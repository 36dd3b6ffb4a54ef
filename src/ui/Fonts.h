#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The two embedded Alegreya Sans faces. Each typeface is made once, on first
    use, and kept for the life of the process. A height above 0 sets the
    font's height; otherwise the typeface's default height stays. */
juce::Font regularFont (float height);
juce::Font mediumFont (float height);
