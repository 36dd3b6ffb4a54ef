#include "UpdatesComponent.h"

UpdatesComponent::UpdatesComponent (const juce::Image& decoderLogoToUse,
                                      const juce::Image& partnerLogoToUse,
                                      const juce::Image& poweredByLogoToUse,
                                      const juce::Image& backArrowToUse,
                                      PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , backArrow (backArrowToUse)
{
}

void UpdatesComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

void UpdatesComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
}
