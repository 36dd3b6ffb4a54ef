#include "StartPageComponent.h"

#include "alerts/Alerts.h"
#include "common/AppConstants.h"
#include "common/SharedFlags.h"
#include "alerts/SoftwareUpdateNotice.h"
#include "service/PictureDecoder.h"
#include "store/ServiceCodes.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StandardPanel.h"
#include "ui/StatusIcons.h"

namespace
{
//==============================================================================
namespace Texts
{
    const juce::String welcomeFirstLine { "Welcome to Auralis, bringing personalized" };
    const juce::String welcomeSecondLine { "spatial audio straight to your Korvane software!" };
    const juce::String namePrompt { "Please Enter a User Name: " };
    const juce::String begin { "Begin" };

    const juce::String invalidName { "Not a valid Username, please try again!" };

    /** The verdict on a valid name, which only screen readers hear (the page
        shows a green tick). */
    const juce::String validName { "Valid Username" };
    const juce::String nameAlreadyRegistered { "This Username is already registered on your device!" };

    const juce::String registerAgainTitle { "Please register again!" };
    const juce::String generatingQrCode { "Generating QR Code ..." };
    const juce::String qrCodeFailed { "QR Code generation failed. Please try again." };

    const juce::String pullLimitPrefix { "You have reached the maximum number of downloads for this profile, please add a new user or contact " };

    const juce::String notSavedBeforeAddress { "Please verify that you have disk space, permissions to write on your hard drive \n and are connected to the Internet. \n\n Then press Begin to try again or contact \n " };
    const juce::String notSavedAfterAddress { " if the issue persists." };
}

//==============================================================================
using namespace ServiceCodes;

const juce::Rectangle<float> iconArea { 440.0f, 340.0f, 24.0f, 24.0f };
const juce::Rectangle<float> iconBackdrop { 439.0f, 339.0f, 26.0f, 26.0f };
const juce::Rectangle<int> beginButtonBounds { 80, 400, 352, 36 };

}

//==============================================================================
StartPageComponent::StartPageComponent (const Picture& decoderLogoToUse,
                                        const Picture& partnerLogoToUse,
                                        const Picture& poweredByLogoToUse,
                                        const Picture& backArrowToUse,
                                        PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , beginButton (Texts::begin, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder())
    , errorIcon (StatusIcons::fittedInto (StatusIcons::makeErrorIcon(), iconArea))
    , validIcon (StatusIcons::fittedInto (StatusIcons::makeValidIcon(), iconArea))
    , backArrow (backArrowToUse)
{
    const auto white = Palette::colour (Palette::white);
    textRows = {
        { Texts::welcomeFirstLine, juce::Justification::centredBottom, regularFont (20.0f), white, { 71, 145, 400, 23 } },
        { Texts::welcomeSecondLine, juce::Justification::centredBottom, regularFont (20.0f), white, { 74, 169, 400, 23 } },
        { Texts::namePrompt, juce::Justification::bottomLeft, regularFont (18.0f), white, { 82, 305, 400, 28 } },
    };

    exposeCaptions (textRows);

    addAndMakeVisible (userNameEditor);
    userNameEditor.setTopLeftPosition (80, 338);
    userNameEditor.editor.setTitle (Texts::namePrompt.trim());

    addAndMakeVisible (beginButton);
    beginButton.setBounds (beginButtonBounds);

    // The back arrow is added when the page is shown, unless this is the first run.
    backButton.setBounds (78, 155, 26, 26);
    backButton.setPicture (backArrow, 1.0f, 0.65f, 1.0f);

    addAndMakeVisible (userNameError);
    userNameError.setFont (regularFont (18.0f));
    userNameError.setColour (juce::Label::textColourId, Palette::colour (Palette::badgeRed));
    userNameError.setBounds (80, 370, 350, 24);

    beginButton.onClick = [this]
    { begin(); };
    backButton.onClick = [this]
    { back(); };
    userNameEditor.onEdit = [this]
    { refreshVerdict(); };
    store.addChangeListener (this);

    // Return in the entry is Begin, with Begin's own checks.
    userNameEditor.onReturn = [this]
    { begin(); };

    // A failed save may be reported on a worker thread, and possibly after
    // this page has gone: the handler only posts, and the page is looked up
    // again on the message thread.
    store.onSaveFailed = [safePage = juce::Component::SafePointer<juce::Component> (this)]
    {
        juce::MessageManager::callAsync ([safePage]
                                         {
                                             if (auto* page = safePage.getComponent())
                                                 showMissingComponents (*page, AppConstants::missingComponentsTitle, AppConstants::missingComponentsMessage); });
    };

    refreshVerdict();
}

StartPageComponent::~StartPageComponent()
{
    store.removeChangeListener (this);
}

void StartPageComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

juce::Component* StartPageComponent::getFirstInput()
{
    return &userNameEditor.editor;
}

//==============================================================================
void StartPageComponent::visibilityChanged()
{
    if (! isVisible())
        return;

    if (firstRun)
    {
        // A check still under way from an earlier showing keeps its flags
        // and delivers its result; starting it again would do nothing.
        if (! softwareCheckThread.isThreadRunning())
        {
            statusCheckBusy = true;
            canQuit.hold (&softwareCheckThread);
            softwareCheckThread.onResult = [this] (const juce::String& execId, int statusCode, int returnCode, int updateStatusCode, int updateReturnCode, const juce::String& message, const juce::String& updateMessage, const juce::String& downloadUrl, const juce::String& releaseNotes, const juce::String& latestReleaseVersion, bool forceUpdate)
            {
                SoftwareUpdateNotice::handleSoftwareCheckResult (*this, &softwareCheckThread, execId, statusCode, returnCode, updateStatusCode, updateReturnCode, message, updateMessage, downloadUrl, releaseNotes, latestReleaseVersion, forceUpdate);
            };
            softwareCheckThread.startThread();
        }
    }

    // No way back when the program started without a profile.
    if (firstRun)
        removeChildComponent (&backButton);
    else
        addAndMakeVisible (backButton);

    userNameEditor.editor.setText ({}, false);
    userNameEditor.edited = false;
    profileAccepted = false;
    refreshVerdict();
}

//==============================================================================
void StartPageComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
    StandardPanel::paint (g);
    drawTextRows (g, textRows);

    // Painting only draws the verdict; it is judged where things change.
    if (userNameInvalid)
    {
        g.setColour (Palette::colour (Palette::entryFill));
        g.fillRect (iconBackdrop);
        g.setColour (Palette::colour (Palette::redMark));
        g.fillPath (errorIcon);
    }

    if (userNameValid)
    {
        g.setColour (Palette::colour (Palette::entryFill));
        g.fillRect (iconBackdrop);
        g.setColour (Palette::colour (Palette::greenMark));
        g.fillPath (validIcon);
    }

    if (beginButton.paintOnParent)
        beginButton.paintOntoParent (g);
}

void StartPageComponent::refreshVerdict()
{
    judgeName();

    // A valid name's Begin is drawn by the page, with the red border;
    // otherwise the button draws itself, with its grey one.
    if (userNameValid)
    {
        beginButton.paintOnParent = true;
        beginButton.setEnabled (true);
    }
    else
    {
        beginButton.paintOnParent = false;
        beginButton.setEnabled (false);
        addAndMakeVisible (beginButton);
        beginButton.setBounds (beginButtonBounds);
    }

    repaint();
}

void StartPageComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // The store's profiles changed: a typed name may now be taken, or free.
    refreshVerdict();
}

void StartPageComponent::judgeName()
{
    if (userNameEditor.edited)
    {
        // The name is taken as typed: only an empty one is refused, and names
        // are compared with their letter case.
        const auto name = userNameEditor.editor.getText();
        ProfileRecord existing;

        if (name.isEmpty())
        {
            userNameError.setText (Texts::invalidName, juce::dontSendNotification);
            userNameInvalid = true;
            userNameValid = false;
        }
        else if (store.findProfile (name, existing))
        {
            userNameError.setText (Texts::nameAlreadyRegistered, juce::dontSendNotification);
            userNameInvalid = true;
            userNameValid = false;
        }
        else
        {
            userNameError.setText ({}, juce::dontSendNotification);
            userNameInvalid = false;
            userNameValid = true;
        }
    }
    else
    {
        userNameInvalid = false;
        userNameValid = profileAccepted;
        userNameError.setText ({}, juce::dontSendNotification);
    }

    verdictAnnouncer.announceChange (userNameValid ? Texts::validName : userNameError.getText());
}

//==============================================================================
void StartPageComponent::begin()
{
    if (busy || statusCheckBusy)
        return;

    const auto name = userNameEditor.editor.getText();
    ProfileRecord existing;

    if (name.isEmpty() || store.findProfile (name, existing) || ! beginButton.paintOnParent)
        return;

    beginButton.setEnabled (false);
    startProfileCheck (name);
}

void StartPageComponent::back()
{
    if (store.getProfileNames().isEmpty() || busy || statusCheckBusy)
        return;

    if (onNavigate)
        onNavigate (profileName, View::HomePage, {});
}

void StartPageComponent::startProfileCheck (const juce::String& name)
{
    statusCheckBusy = true;
    canQuit.hold (&statusCheckThread);
    userNameEditor.setEnabled (false);
    nameBeingRegistered = name;

    statusCheckThread.profileName = name;
    statusCheckThread.currentImgId = {};
    statusCheckThread.currentAuralisId = {};
    statusCheckThread.currentHrtfId = {};
    statusCheckThread.store = &store;
    statusCheckThread.onResult = [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)
    { onProfileChecked (execId, statusCode, returnCode, message); };

    userNameEditor.edited = false;
    refreshVerdict();
    statusCheckThread.startThread();
}

void StartPageComponent::startHrtfPull()
{
    overlayMessage = AppConstants::downloadingHrtfMessage;
    busy = true;
    canQuit.hold (&pullThread);
    repaint();
    userNameEditor.setEnabled (false);

    pullThread.profileName = nameBeingRegistered;
    pullThread.store = &store;
    pullThread.onResult = [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
    { onHrtfPulled (execId, statusCode, returnCode, message, profileUpdated, fileWritten); };
    pullThread.startThread();
}

void StartPageComponent::removeRegisteredProfile (const juce::String& name)
{
    // Undoes the profile the status check's merge created for the name; a
    // name the lookup did not find leaves the store alone.
    if (name.isNotEmpty())
        store.removeProfile (name);
}

//==============================================================================
void StartPageComponent::onProfileChecked (const juce::String&, int statusCode, int returnCode, const juce::String& message)
{
    canQuit.release (&statusCheckThread);
    userNameEditor.setEnabled (true);

    ProfileRecord record;
    store.findProfile (nameBeingRegistered, record);

    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);
        statusCheckBusy = false;
        return;
    }

    if (statusCode != statusOk)
    {
        showAlert (*this, Texts::registerAgainTitle, message);
        statusCheckBusy = false;
        removeRegisteredProfile (record.profileName);
        return;
    }

    if (record.hrtf_requested > 0 && record.downloadsLeft() <= 0)
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::downloadLimitMessage + AppConstants::supportEmailAddress);
        statusCheckBusy = false;
        removeRegisteredProfile (record.profileName);
        return;
    }

    if (record.hrtf_requested > 0)
    {
        // The service already holds an ear image and its HRTF for this name.
        startHrtfPull();
    }
    else
    {
        overlayMessage = Texts::generatingQrCode;
        busy = true;
        canQuit.hold (&qrCodeThread);
        repaint();
        userNameEditor.setEnabled (false);

        qrCodeThread.largestPicture = PictureDecoder::largestSizeFor (AppConstants::qrCodeArea);
        qrCodeThread.onResult = [this] (const juce::String& qrExecId, int qrStatusCode, int qrReturnCode, const juce::String& qrMessage, const juce::Image& image)
        { onQrCodeReceived (qrExecId, qrStatusCode, qrReturnCode, qrMessage, image); };
        qrCodeThread.startThread();
    }

    statusCheckBusy = false;
    profileAccepted = true;
    refreshVerdict();
}

void StartPageComponent::onHrtfPulled (const juce::String&, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
{
    userNameEditor.edited = false;
    busy = false;
    refreshVerdict();
    canQuit.release (&pullThread);
    userNameEditor.setEnabled (true);

    const auto name = nameBeingRegistered;

    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);
        removeRegisteredProfile (name);
        return;
    }

    if (statusCode != statusOk)
    {
        const auto text = (statusCode == statusForbidden && returnCode == downloadsUsedUp)
                              ? Texts::pullLimitPrefix + AppConstants::supportEmailAddress + "."
                              : message;

        showAlert (*this, AppConstants::errorTitle, text);
        removeRegisteredProfile (name);
        return;
    }

    if (profileUpdated && fileWritten)
    {
        if (onNavigate)
            onNavigate (name, View::HomePage, {});
    }
    else
    {
        showAlert (*this, AppConstants::profileNotSavedTitle, Texts::notSavedBeforeAddress + AppConstants::supportEmailAddress + Texts::notSavedAfterAddress);
        removeRegisteredProfile (name);
    }

    profileAccepted = true;
    refreshVerdict();
}

void StartPageComponent::onQrCodeReceived (const juce::String&, int statusCode, int returnCode, const juce::String& message, const juce::Image& image)
{
    userNameEditor.edited = false;
    busy = false;
    refreshVerdict();
    canQuit.release (&qrCodeThread);
    userNameEditor.setEnabled (true);

    ProfileRecord record;
    store.findProfile (nameBeingRegistered, record);

    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);
        removeRegisteredProfile (record.profileName);
        return;
    }

    if (statusCode != statusOk)
    {
        showAlert (*this, AppConstants::errorTitle, message);
        removeRegisteredProfile (record.profileName);
        return;
    }

    // A picture that arrived incomplete, damaged or too large was not decoded;
    // the personalise page would have no code to show, so it counts as no
    // picture.
    if (image.isValid())
    {
        if (onNavigate)
            onNavigate (nameBeingRegistered, View::StartPage, image);
    }
    else
    {
        showAlert (*this, AppConstants::errorTitle, Texts::qrCodeFailed);
        removeRegisteredProfile (record.profileName);
    }

    profileAccepted = true;
    refreshVerdict();
}
