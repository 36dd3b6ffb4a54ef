#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The framed panel several pages draw behind their controls, right after the
    background: a red rounded frame with a dark, half-transparent header band.
*/
void drawStandardPanel (juce::Graphics& g);
