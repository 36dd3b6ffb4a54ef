#include "DeviceIdentifier.h"

#include <juce_product_unlocking/juce_product_unlocking.h>

namespace
{
juce::String firstLocalMachineId()
{
    // The service and the profiles on disk know the device by this value, so
    // it stays, although the framework now prefers another identifier.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    JUCE_BEGIN_IGNORE_WARNINGS_MSVC (4996)
    const auto machineIds = juce::OnlineUnlockStatus::MachineIDUtilities::getLocalMachineIDs();
    JUCE_END_IGNORE_WARNINGS_MSVC
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    return machineIds.isEmpty() ? juce::String() : machineIds[0];
}
} // namespace

juce::String localDeviceIdentifier()
{
    static const juce::String identifier = firstLocalMachineId();
    return identifier;
}
