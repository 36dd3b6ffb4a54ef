#pragma once

#include "store/PresetStore.h"
#include "ui/GradientBackgroundComponent.h"

//==============================================================================
/** Shows the profile's QR code and waits for the ear photo: checks the
    profile's status automatically and on Next, then downloads the new HRTF.
*/
class PersonalizeYourAudioComponent : public GradientBackgroundComponent
{
public:
    PersonalizeYourAudioComponent (const juce::Image& decoderLogo,
                                 const juce::Image& partnerLogo,
                                 const juce::Image& poweredByLogo,
                                 const juce::Image& backArrow,
                                 PresetStore& store);

    void setCurrentProfile (const juce::String& name) override;
    void paint (juce::Graphics& g) override;

    //==============================================================================
    /** True when entered from the start page, false from the home page. */
    bool newProfile = true;

    /** The QR code to show, decoded by the main component. */
    juce::Image qrImage;

private:
    //==============================================================================
    PresetStore& store;
    juce::Image backArrow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PersonalizeYourAudioComponent)
};
