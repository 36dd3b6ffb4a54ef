#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** This machine's device identifier: the value requests send as "device_id"
    and new profiles keep as `localMachineId`. Worked out once, on first use;
    safe on any thread. */
juce::String localDeviceIdentifier();
