#include "StandardPanel.h"

#include "Palette.h"

void drawStandardPanel (juce::Graphics& g)
{
    constexpr float cornerSize = 8.0f;

    g.setColour (Palette::colour (Palette::redAccent));
    g.drawRoundedRectangle (63.0f, 140.0f, 416.0f, 328.0f, cornerSize, 2.0f);

    {
        const juce::Graphics::ScopedSaveState state (g);
        g.setColour (Palette::colour (Palette::headerBand));
        g.setOpacity (0.55f);
        g.fillRoundedRectangle (64.0f, 141.0f, 414.0f, 57.0f, cornerSize);
    }

    g.setColour (Palette::colour (Palette::black));
    g.drawRoundedRectangle (64.0f, 141.0f, 414.0f, 58.0f, cornerSize, 1.0f);
}
