#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The texts, captions and names of the onboarding pages, defined once. The
    titles and messages shared with every page (the connection message,
    "Error!", the download overlay, the save-failure title and the download
    limit) are in AppConstants.
*/
namespace OnboardingTexts
{
/** The back arrow's name on the start and personalise pages. */
inline const juce::String backButtonName { "Back" };

//==============================================================================
// Start page
inline const juce::String welcomeFirstLine { "Welcome to Auralis, bringing personalized" };
inline const juce::String welcomeSecondLine { "spatial audio straight to your Korvane software!" };
inline const juce::String namePrompt { "Please Enter a User Name: " };
inline const juce::String begin { "Begin" };

inline const juce::String invalidName { "Not a valid Username, please try again!" };

/** The verdict on a valid name, which only screen readers hear (the page
    shows a green tick). */
inline const juce::String validName { "Valid Username" };
inline const juce::String nameAlreadyRegistered { "This Username is already registered on your device!" };

inline const juce::String registerAgainTitle { "Please register again!" };
inline const juce::String generatingQrCode { "Generating QR Code ..." };
inline const juce::String qrCodeFailed { "QR Code generation failed. Please try again." };

inline const juce::String pullLimitPrefix { "You have reached the maximum number of downloads for this profile, please add a new user or contact " };

inline const juce::String notSavedPressBeginBeforeAddress { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n\n Then press Begin to try again or contact \n " };
inline const juce::String notSavedAfterAddress { " if the issue persists." };

//==============================================================================
// Personalise-your-audio page
inline const juce::String learnHowFirstLine { "1. Learn how to submit an image of" };
inline const juce::String learnHowSecondLine { "your right ear" };
inline const juce::String scanFirstLine { "2. Open your smartphone camera and" };
inline const juce::String scanSecondLine { "point it at the QR Code. Click on the" };
inline const juce::String scanThirdLine { "popup link and follow the instructions." };
inline const juce::String notDetectedFirstLine { "We haven't detected your ear image yet." };
inline const juce::String notDetectedSecondLine { "Please scan the QR code to proceed." };

inline const juce::String loggedInAsPrefix { "Logged in as  " };

/** What screen readers say of the QR code. */
inline const juce::String qrCodeTitle { "QR Code" };
inline const juce::String qrCodeDescription { "The code to scan with your smartphone camera, to upload a photo of your right ear." };
inline const juce::String next { "Next" };
inline const juce::String watchNow { "Watch Now" };

inline const juce::String pressDoneToTryAgain { "Press DONE to try again!" };
inline const juce::String tryingAgain { "Trying Again!" };
inline const juce::String maximumHrtfsReached { "Maximum HRTFs reached." };
inline const juce::String maximumPullsReached { "Maximum pulls reached." };
inline const juce::String noImageTitle { "No image detected." };
inline const juce::String noImageMessage { "Please scan this QR Code on your mobile device" };
inline const juce::String pullConnectionMessage { "Please check your internet connection and press DONE to continue." };

inline const juce::String notSavedPressDoneBeforeAddress { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n \n Then press DONE to try again or contact \n " };

//==============================================================================
// Profile-loaded page
inline const juce::String openTheDecoder { "Just open VST Spherion in Mirador or Quillon, select your" };
inline const juce::String selectTheProfile { "profile in the Auralis tab & start mixing." };
inline const juce::String congratulations { "Congratulations, you are all set!" };
inline const juce::String home { "HOME" };
inline const juce::String learnHow { "Click Here to Learn How!" };
}
