#include "PictureButton.h"

PictureButton::PictureButton (const juce::String& name)
    : juce::ImageButton (name)
{
}

void PictureButton::setPicture (const Picture& pictureToShow, float opacityAtRest, float opacityUnderMouse, float opacityPressed)
{
    picture = pictureToShow;
    restOpacity = opacityAtRest;
    overOpacity = opacityUnderMouse;
    downOpacity = opacityPressed;

    const auto& standard = picture.getStandard();
    const auto none = juce::Colours::transparentBlack;
    setImages (false, true, true, standard, restOpacity, none, standard, overOpacity, none, standard, downOpacity, none, 0.0f);
}

//==============================================================================
void PictureButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto image = picture.forContext (g);
    const auto& standard = picture.getStandard();

    // At 100 % the framework's image button draws the standard picture.
    if (image.getPixelData() == standard.getPixelData())
    {
        juce::ImageButton::paintButton (g, shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);
        return;
    }

    // The doubled picture goes where the image button would put the standard
    // one: the largest centred area of the standard picture's proportions.
    const auto ratio = (float) standard.getHeight() / (float) standard.getWidth();
    auto w = getWidth();
    auto h = getHeight();

    if (ratio > (float) h / (float) w)
        w = juce::roundToInt ((float) h / ratio);
    else
        h = juce::roundToInt ((float) w * ratio);

    if (! isEnabled())
    {
        shouldDrawButtonAsHighlighted = false;
        shouldDrawButtonAsDown = false;
    }

    const auto down = shouldDrawButtonAsDown || getToggleState();

    getLookAndFeel().drawImageButton (g,
                                      &image,
                                      (getWidth() - w) / 2,
                                      (getHeight() - h) / 2,
                                      w,
                                      h,
                                      juce::Colours::transparentBlack,
                                      down ? downOpacity : (shouldDrawButtonAsHighlighted ? overOpacity : restOpacity),
                                      *this);
}
