#include "IMAlertWindowLNF.h"

IMAlertWindowLNF::IMAlertWindowLNF()
{
    setColour (juce::AlertWindow::textColourId, juce::Colour (0xff000000));
}
