#pragma once

#include "common/AppConstants.h"

//==============================================================================
/** The texts, captions and component names of the home page and the updates
    page, defined once. The titles and messages shared with every page (the
    connection message, "Error!", the forced-update notice, the download
    overlay and the save-failure title) are in AppConstants.
*/
namespace AccountTexts
{
//==============================================================================
// Home page
inline const juce::String profileSelectorName { "UserBox" };

/** What screen readers call the profile selector and the "+" button. */
inline const juce::String profileSelectorTitle { "Profile" };
inline const juce::String addProfileTitle { "Add a Profile" };
inline const juce::String checkForUpdatesName { "Check For Updates" };
inline const juce::String addProfileCaption { "+" };
inline const juce::String submitNewImageCaption { "Submit New Image" };
inline const juce::String showCaption { "Show" };
inline const juce::String imageSubmissionsLeftCaption { "Image Submissions Left" };
inline const juce::String currentHrtfIdCaption { "Current HRTF ID" };

/** Shown in the HRTF id box for a profile that has no HRTF yet. */
inline const juce::String noHrtfText { "No HRTF" };

/** The digit inside the red badge on the refresh icon. */
inline const juce::String updateBadgeText { "1" };

inline const juce::String hrtfNotFoundTitle { "Could not find your HRTF data" };
inline const juce::String hrtfNotFoundMessage { "Press Refresh to check for Existing Images or Submit New Image to proceed!" };
inline const juce::String hrtfInfoFoundTitle { "HRTF info found" };
inline const juce::String hrtfInfoFoundMessage { "Please press the Refresh button before submitting a new Image!" };
inline const juce::String generatingQrCodeMessage { "Generating QR Code ..." };
inline const juce::String qrDownloadFailedMessage { "QR download failed." };

inline const juce::String downloadsLimitMessage { "You have reached the maximum number of downloads for this profile, please add a new user or contact "
                                                  + AppConstants::supportEmailAddress + "." };
inline const juce::String submissionsLimitMessage { "You have reached the maximum number of image submissions for this profile, please add a new user or contact "
                                                    + AppConstants::supportEmailAddress + "." };

//==============================================================================
// Updates page
inline const juce::String backButtonName { "Back" };
inline const juce::String profileUpdateCaption { "Profile Update" };
inline const juce::String softwareUpdateCaption { "Software Update" };
inline const juce::String updatesAvailableText { "Updates Available!" };
inline const juce::String noUpdatesAvailableText { "No Updates Available!" };
inline const juce::String newProfileReadyText { "New profile ready to download." };

/** The service's message for a profile with no newer HRTF data. */
inline const juce::String auralisUpdateUnavailableMessage { "Auralis update unavailable!" };

inline const juce::String profileUpdateConnectionMessage { "Please check your internet connection and press Profile Update to continue." };
inline const juce::String couldNotLoadProfileMessage { "Could not load your Profile. Please try again." };
inline const juce::String profileUpdateSaveFailureMessage { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n\n Then press Profile Update to try again or contact \n "
                                                            + AppConstants::supportEmailAddress + " if the issue persists." };
}
