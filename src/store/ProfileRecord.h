#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** A plain copy of one profile of the preset bank, with one field per preset
    property. A property missing from the bank reads as an empty string, 0 or
    false.
*/
struct ProfileRecord
{
    juce::String profileName;
    juce::String localMachineId;
    juce::String timestamp;

    int hrtf_allowed = 0;
    int hrtf_requested = 0;
    int pull_allowed = 0;
    int pull_requested = 0;
    int hrtf_status_code = 0;
    int hrtf_return_code = 0;
    juce::String hrtf_message;

    juce::String hrtf_id;
    juce::String hrtf_url;
    juce::String img_id;
    juce::String auralis_id;

    juce::String software_update_message;
    juce::String release_notes;
    juce::String download_url;
    juce::String latest_release_version;
    int software_update_status_code = 0;
    int software_update_return_code = 0;

    juce::String auralis_update_message;
    int auralis_update_status_code = 0;
    int auralis_update_return_code = 0;

    bool force_update = false;

    //==============================================================================
    /** HRTF downloads the service still allows (`pull_allowed` less
        `pull_requested`), counted in 64 bits so that no pair of ints can
        overflow; 0 or less when none are left. */
    juce::int64 downloadsLeft() const { return (juce::int64) pull_allowed - pull_requested; }
};
