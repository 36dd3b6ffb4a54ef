#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The optional sections of a service request's envelope: one flag per
    section, and the identifiers the "auralis_update_check" section carries.
*/
struct RequestSections
{
    bool deviceInfo = false;
    bool updateInfo = false;
    bool auralisUpdateCheck = false;
    bool softwareUpdateCheck = false;
    bool userHrtfInfoFetch = false;

    /** Used only when auralisUpdateCheck is set. */
    juce::String currentImgId;
    juce::String currentAuralisId;
    juce::String currentHrtfId;
};
