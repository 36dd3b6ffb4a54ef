#include "TextRow.h"

void drawTextRows (juce::Graphics& g, const std::vector<TextRow>& rows)
{
    for (const auto& row : rows)
    {
        g.setColour (row.colour);
        g.setFont (row.font);
        g.drawText (row.text, row.area, juce::Justification (row.justification), false);
    }
}
