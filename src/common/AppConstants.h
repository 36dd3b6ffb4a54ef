#pragma once

#include <ProductVersion.h>
#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The program's fixed names, addresses and shared texts, defined once. */
namespace AppConstants
{
inline const juce::String applicationName { "Auralis with VST Spherion" };
inline const juce::String applicationVersion { ProductVersion::text };

/** Where users are asked to write when a profile runs out of downloads. */
inline const juce::String supportEmailAddress { "support@auralis-audio.example" };

/** Opened by the two logo link buttons at the foot of every page. */
inline const juce::String partnerWebAddress { "https://www.korvane.example/" };
inline const juce::String makerWebAddress { "https://www.vantora.example/auralis" };

/** What screen readers call the two logo link buttons: where they lead. */
inline const juce::String partnerLinkTitle { "Korvane website" };
inline const juce::String makerLinkTitle { "Auralis by Vantora website" };

/** Tutorial on photographing the right ear (personalise page) and the
        set-up video of the decoder plug-in (profile-loaded page). */
inline const juce::String earTutorialVideoAddress { "https://video.example/watch?v=auralis-ear-photo" };
inline const juce::String setupVideoAddress { "https://video.example/watch?v=spherion-setup" };

/** Where the personalise page draws the QR code; the pages that fetch it
        decode pictures up to what this box can show sharply. */
inline const juce::Rectangle<int> qrCodeArea { 75, 228, 172, 172 };

/** The decoder plug-in picture on the profile-loaded page; compiled in. */
juce::String getScreenshotAddress();

/** Tests point the picture download at their own server. */
void setScreenshotAddressForTesting (const juce::String& address);

//==============================================================================
/** Folders of the shared data folder below the common application data
        folder, read by the decoder plug-in too. */
inline const juce::String dataFolderCommonFiles { "Common Files" };
inline const juce::String dataFolderVendor { "Vantora" };
inline const juce::String dataFolderProduct { "Korvane" };

//==============================================================================
inline const juce::String errorTitle { "Error!" };
inline const juce::String connectionMessage { "Thank you for using Auralis.  Please check your internet connection to continue." };
inline const juce::String missingComponentsTitle { "Missing Critical Components!" };
inline const juce::String missingComponentsMessage { "Please reinstall the application to continue." };
inline const juce::String updateNowTitle { "Update Now!" };
inline const juce::String outOfDateMessage { "Your Auralis software is out of date. Please update now for the best experience." };
inline const juce::String unsupportedVersionMessage { "This Auralis version is no longer supported. Please update now for the best experience." };
inline const juce::String remindMeLaterText { "Remind Me Later" };
inline const juce::String downloadNowText { "Download Now!" };

/** The single button of a plain alert. */
inline const juce::String okButtonText { "OK" };

//==============================================================================
/** Texts that more than one page shows while fetching or saving an HRTF. */
inline const juce::String downloadingHrtfMessage { "Downloading Personalized HRTF ..." };
inline const juce::String profileNotSavedTitle { "Your profile could not be saved." };

/** Followed by the support address, without a full stop. */
inline const juce::String downloadLimitMessage { "You have reached the maximum number of downloads for this profile, please contact " };
}
