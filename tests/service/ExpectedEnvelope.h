#pragma once

#include "service/ServiceClient.h"
#include "store/DeviceIdentifier.h"

//==============================================================================
/*  The request texts the service must receive, written out literally member
    by member: "client_key", "product_info", then the sections given, in the
    framework's multi-line JSON form (two-blank indents, CR LF line ends).
*/
namespace ExpectedEnvelope
{
inline juce::String with (const juce::StringArray& sections)
{
    juce::StringArray members { "  \"client_key\": \"7c1e5a90b2d34f6e8a0b9c3d2e1f4a5b\"",
                                "  \"product_info\": {\r\n    \"product_name\": \"AuralisOnboardingApp\",\r\n    \"product_version\": \"0.0.10\"\r\n  }" };
    members.addArray (sections);
    return "{\r\n" + members.joinIntoString (",\r\n") + "\r\n}";
}

inline juce::String deviceInfo()
{
    return "  \"device_info\": {\r\n    \"device_id\": \"" + localDeviceIdentifier() + "\"\r\n  }";
}

inline const juce::String updateInfo { "  \"update_info\": {\r\n    \"update\": 0\r\n  }" };

inline juce::String auralisUpdateCheck (const juce::String& imgId, const juce::String& auralisId, const juce::String& hrtfId)
{
    return "  \"auralis_update_check\": {\r\n    \"enable\": 1,\r\n    \"params\": {\r\n"
           "      \"current_img_id\": \""
           + imgId + "\",\r\n      \"current_auralis_id\": \"" + auralisId + "\",\r\n      \"current_hrtf_id\": \"" + hrtfId + "\"\r\n    }\r\n  }";
}

inline const juce::String softwareUpdateCheck { "  \"software_update_check\": {\r\n    \"enable\": 1\r\n  }" };
inline const juce::String userHrtfInfoFetch { "  \"user_hrtf_info_fetch\": {\r\n    \"enable\": 1\r\n  }" };
}
