#pragma once

#include "store/PresetStore.h"
#include "ui/GradientBackgroundComponent.h"

//==============================================================================
/** Offers newer HRTF data for the profile and a newer program version.
*/
class UpdatesComponent : public GradientBackgroundComponent
{
public:
    UpdatesComponent (const juce::Image& decoderLogo,
                    const juce::Image& partnerLogo,
                    const juce::Image& poweredByLogo,
                    const juce::Image& backArrow,
                    PresetStore& store);

    void setCurrentProfile (const juce::String& name) override;
    void paint (juce::Graphics& g) override;

    private:
    //==============================================================================
    PresetStore& store;
    juce::Image backArrow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdatesComponent)
};
