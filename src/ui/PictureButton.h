#pragma once

#include "Picture.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A button that shows one of the program's pictures, scaled into its bounds
    with its proportions kept and centred, at an opacity for each state: at
    rest, under the mouse and pressed. On scaled displays it draws the
    picture's doubled version in the same place (see Picture).

    The whole of its bounds takes clicks, transparent parts included.
*/
class PictureButton : public juce::ImageButton
{
public:
    explicit PictureButton (const juce::String& name = {});

    void setPicture (const Picture& pictureToShow, float opacityAtRest, float opacityUnderMouse, float opacityPressed);

    //==============================================================================
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    //==============================================================================
    Picture picture;
    float restOpacity = 1.0f, overOpacity = 1.0f, downOpacity = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PictureButton)
};
