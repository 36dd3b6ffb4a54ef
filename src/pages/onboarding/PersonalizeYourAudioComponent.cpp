#include "PersonalizeYourAudioComponent.h"

PersonalizeYourAudioComponent::PersonalizeYourAudioComponent (const juce::Image& decoderLogoToUse,
                                                                const juce::Image& partnerLogoToUse,
                                                                const juce::Image& poweredByLogoToUse,
                                                                const juce::Image& backArrowToUse,
                                                                PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , backArrow (backArrowToUse)
{
}

void PersonalizeYourAudioComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

void PersonalizeYourAudioComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
}
