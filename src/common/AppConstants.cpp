#include "AppConstants.h"

namespace
{
juce::CriticalSection screenshotAddressLock;
juce::String screenshotAddress { AURALIS_SCREENSHOT_URL };
}

juce::String AppConstants::getScreenshotAddress()
{
    const juce::ScopedLock sl (screenshotAddressLock);
    return screenshotAddress;
}

void AppConstants::setScreenshotAddressForTesting (const juce::String& address)
{
    const juce::ScopedLock sl (screenshotAddressLock);
    screenshotAddress = address;
}
