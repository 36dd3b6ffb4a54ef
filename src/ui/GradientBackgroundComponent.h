#pragma once

#include "PictureButton.h"
#include "app/View.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

//==============================================================================
/** The base of every page: a fixed 540 x 565 component with the grey
    gradient, the decoder plug-in logo, the two logo link buttons and the busy
    overlay, plus the members through which the main component navigates.
*/
class GradientBackgroundComponent : public juce::Component
{
public:
    GradientBackgroundComponent (const Picture* decoderLogo,
                                 const Picture* partnerLogo,
                                 const Picture* poweredByLogo);

    //==============================================================================
    /** Takes on the named profile before the page is shown; nothing here. */
    virtual void setCurrentProfile (const juce::String& name);

    /** Draws the gradient and the logo; every page's paint starts with it. */
    void paintBackground (juce::Graphics& g);

    /** The busy overlay, drawn only while the shared busy flag is set. */
    void paintOverChildren (juce::Graphics& g) override;

    //==============================================================================
    /** The text of the busy overlay. */
    juce::String overlayMessage;

    /** The profile the page serves. */
    juce::String profileName;

    /** Installed by the main component; the page calls it to ask for another page. */
    std::function<void (const juce::String&, View, const juce::MemoryBlock&)> onNavigate;

protected:
    //==============================================================================
    juce::Colour gradientTop, gradientBottom;
    PictureButton vantoraLink, korvaneLink;
    const Picture* decoderLogo;
    const Picture* partnerLogo;
    const Picture* poweredByLogo;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GradientBackgroundComponent)
};
