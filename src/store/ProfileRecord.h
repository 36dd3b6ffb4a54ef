#pragma once

#include "ServiceCodes.h"

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
    // What the profile's counters and codes say, read the same way by every
    // page. The counters come from the service, so differences are taken in
    // 64 bits: no pair of ints can overflow.

    /** HRTF downloads the service still allows (`pull_allowed` less
        `pull_requested`); 0 or less when none are left. */
    juce::int64 downloadsLeft() const { return (juce::int64) pull_allowed - pull_requested; }

    /** Ear-image submissions the service still allows (`hrtf_allowed` less
        `hrtf_requested`); 0 or less when none are left. */
    juce::int64 submissionsLeft() const { return (juce::int64) hrtf_allowed - hrtf_requested; }

    /** The profile's first HRTF has been made but not downloaded yet. */
    bool isFirstHrtfWaiting() const { return img_id.isEmpty() && hrtf_requested == 1; }

    /** The service holds newer HRTF data for the profile than its own. */
    bool isProfileUpdateWaiting() const
    {
        return auralis_update_status_code == ServiceCodes::statusOk
               && auralis_update_return_code != ServiceCodes::noNewerHrtf;
    }

    /** A newer version of the program is available. */
    bool isSoftwareUpdateWaiting() const
    {
        return software_update_status_code == ServiceCodes::statusOk
               && software_update_return_code == ServiceCodes::softwareUpdateFound;
    }

    /** The service holds no HRTF data for the profile. */
    bool isHrtfNotFound() const
    {
        return hrtf_status_code == ServiceCodes::statusNoHrtfData
               && hrtf_return_code == ServiceCodes::hrtfNotFound;
    }
};
