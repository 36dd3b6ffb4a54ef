#pragma once

#include "store/PresetStore.h"
#include "ui/GradientBackgroundComponent.h"

//==============================================================================
/** The returning user's page: profiles, submissions left, the HRTF id,
    background checks, a new image submission and a new profile.
*/
class HomePageComponent : public GradientBackgroundComponent
{
public:
    HomePageComponent (const juce::Image& decoderLogo,
                     const juce::Image& partnerLogo,
                     const juce::Image& poweredByLogo,
                     PresetStore& store);

    void setCurrentProfile (const juce::String& name) override;
    void paint (juce::Graphics& g) override;

    private:
    //==============================================================================
    PresetStore& store;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HomePageComponent)
};
