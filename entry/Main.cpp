#include "app/KorvaneOnboardingApplication.h"

START_JUCE_APPLICATION (KorvaneOnboardingApplication)
