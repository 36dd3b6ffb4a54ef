#include "StartPageComponent.h"

StartPageComponent::StartPageComponent (const juce::Image& decoderLogoToUse,
                                          const juce::Image& partnerLogoToUse,
                                          const juce::Image& poweredByLogoToUse,
                                          const juce::Image& backArrowToUse,
                                          PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , backArrow (backArrowToUse)
{
}

void StartPageComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

void StartPageComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
}
