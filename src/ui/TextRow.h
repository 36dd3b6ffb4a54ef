#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

//==============================================================================
/** One static caption that a page draws itself. */
struct TextRow
{
    juce::String text;
    int justification = juce::Justification::centred;
    juce::Font font;
    juce::Colour colour;
    juce::Rectangle<int> area;
};

/** Draws the rows in order, each fitted into its area without ellipsis. */
void drawTextRows (juce::Graphics& g, const std::vector<TextRow>& rows);
