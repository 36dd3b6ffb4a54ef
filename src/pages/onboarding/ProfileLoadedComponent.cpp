#include "ProfileLoadedComponent.h"

ProfileLoadedComponent::ProfileLoadedComponent (const juce::Image& decoderLogoToUse,
                                                  const juce::Image& partnerLogoToUse,
                                                  const juce::Image& poweredByLogoToUse,
                                                  PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
{
}

void ProfileLoadedComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

void ProfileLoadedComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
}
