#include "HomePageComponent.h"

HomePageComponent::HomePageComponent (const juce::Image& decoderLogoToUse,
                                        const juce::Image& partnerLogoToUse,
                                        const juce::Image& poweredByLogoToUse,
                                        PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
{
}

void HomePageComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

void HomePageComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
}
