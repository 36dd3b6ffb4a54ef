#include "StandardPanel.h"

#include "Palette.h"

void StandardPanel::paint (juce::Graphics& g)
{
    constexpr float cornerSize = 8.0f;

    g.setColour (Palette::colour (Palette::redAccent));
    g.drawRoundedRectangle (frameArea(), cornerSize, 2.0f);

    g.setColour (Palette::colour (Palette::headerBand).withMultipliedAlpha (0.55f));
    g.fillRoundedRectangle (bandArea(), cornerSize);

    g.setColour (Palette::colour (Palette::black));
    g.drawRoundedRectangle (bandOutlineArea(), cornerSize, 1.0f);
}
