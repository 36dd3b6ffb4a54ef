#pragma once

#include "store/PresetStore.h"
#include "ui/GradientBackgroundComponent.h"

//==============================================================================
/** The first page of onboarding: names a new profile, announces it to the
    service and goes on to the QR code or downloads an HRTF the service holds.
*/
class StartPageComponent : public GradientBackgroundComponent
{
public:
    StartPageComponent (const juce::Image& decoderLogo,
                      const juce::Image& partnerLogo,
                      const juce::Image& poweredByLogo,
                      const juce::Image& backArrow,
                      PresetStore& store);

    void setCurrentProfile (const juce::String& name) override;
    void paint (juce::Graphics& g) override;

    //==============================================================================
    /** True when the program started with no profile: no back arrow, and the
        first-run software check runs when the page becomes visible. */
    bool firstRun = false;

private:
    //==============================================================================
    PresetStore& store;
    juce::Image backArrow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StartPageComponent)
};
