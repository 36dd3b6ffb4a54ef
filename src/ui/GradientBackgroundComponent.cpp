#include "GradientBackgroundComponent.h"

#include "Fonts.h"
#include "Palette.h"
#include "app/AppConstants.h"
#include "app/ExternalActions.h"
#include "app/SharedFlags.h"

namespace
{
void setUpLinkButton (PictureButton& button, const Picture* picture, const juce::String& address)
{
    button.setPicture (picture != nullptr ? *picture : Picture(), 1.0f, 1.0f, 0.65f);
    button.onClick = [address]
    { ExternalActions::openInBrowser (address); };
}
}

//==============================================================================
GradientBackgroundComponent::GradientBackgroundComponent (const Picture* decoderLogoToUse,
                                                          const Picture* partnerLogoToUse,
                                                          const Picture* poweredByLogoToUse)
    : gradientTop (Palette::colour (Palette::gradientTop))
    , gradientBottom (Palette::colour (Palette::gradientBottom))
    , vantoraLink ("Vantora Link")
    , korvaneLink ("Korvane Link")
    , decoderLogo (decoderLogoToUse)
    , partnerLogo (partnerLogoToUse)
    , poweredByLogo (poweredByLogoToUse)
{
    setUpLinkButton (korvaneLink, partnerLogo, AppConstants::partnerWebAddress);
    addAndMakeVisible (korvaneLink);
    korvaneLink.setBounds (64, 490, 152, 34);

    setUpLinkButton (vantoraLink, poweredByLogo, AppConstants::makerWebAddress);
    addAndMakeVisible (vantoraLink);
    vantoraLink.setBounds (324, 490, 152, 34);

    setSize (540, 565);

    // Make the page's weak reference here, on the message thread, so that
    // code on a worker thread (a save failure reported by the store) can take
    // a SafePointer to the page without racing to create it.
    const juce::Component::SafePointer<juce::Component> weakReference (this);
    juce::ignoreUnused (weakReference);
}

void GradientBackgroundComponent::setCurrentProfile (const juce::String&)
{
}

void GradientBackgroundComponent::paintBackground (juce::Graphics& g)
{
    g.setGradientFill (juce::ColourGradient (gradientTop, 0.0f, 0.0f, gradientBottom, 0.0f, 540.0f, false));
    g.setOpacity (0.95f);
    g.fillAll();

    if (decoderLogo != nullptr && decoderLogo->isValid())
    {
        const auto& logo = decoderLogo->forContext (g);
        g.drawImage (logo, 161, 27, 219, 86, 0, 0, logo.getWidth(), logo.getHeight());
    }
}

void GradientBackgroundComponent::paintOverChildren (juce::Graphics& g)
{
    if (! busy.load())
        return;

    const juce::Rectangle<float> box (120.0f, 230.0f, 300.0f, 100.0f);

    // The frame line is centred on the box's edge; the box's fill then covers
    // its inner half, leaving a white rim outside the box.
    juce::Path frame;
    frame.addRectangle (box);
    g.setColour (juce::Colours::white);
    g.strokePath (frame, juce::PathStrokeType (3.0f));

    g.setColour (Palette::colour (Palette::overlayBox));
    g.setOpacity (0.93f);
    g.fillRect (box);

    g.setColour (juce::Colours::black);
    g.setFont (mediumFont (20.0f));
    g.drawText (overlayMessage, juce::Rectangle<int> (120, 270, 300, 19), juce::Justification::centred, false);
}
