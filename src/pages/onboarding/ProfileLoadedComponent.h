#pragma once

#include "store/PresetStore.h"
#include "ui/GradientBackgroundComponent.h"

//==============================================================================
/** Closes onboarding: congratulates, shows the decoder plug-in picture and
    leads home.
*/
class ProfileLoadedComponent : public GradientBackgroundComponent
{
public:
    ProfileLoadedComponent (const juce::Image& decoderLogo,
                          const juce::Image& partnerLogo,
                          const juce::Image& poweredByLogo,
                          PresetStore& store);

    void setCurrentProfile (const juce::String& name) override;
    void paint (juce::Graphics& g) override;

    private:
    //==============================================================================
    PresetStore& store;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProfileLoadedComponent)
};
