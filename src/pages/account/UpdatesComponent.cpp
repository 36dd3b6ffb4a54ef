#include "UpdatesComponent.h"

#include "AccountTexts.h"
#include "alerts/Alerts.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "common/SharedFlags.h"
#include "store/ServiceCodes.h"
#include "ui/Fonts.h"
#include "ui/StandardPanel.h"

namespace
{
using namespace ServiceCodes;

const juce::Rectangle<int> profileUpdateBounds { 94, 376, 160, 36 };
const juce::Rectangle<int> softwareUpdateBounds { 288, 376, 160, 36 };

// The service holds newer HRTF data for the profile that can be fetched. An
// answer that the profile is up to date offers nothing: a pull would only
// fetch the profile's own HRTF again, use up one of its downloads and end in
// "Your profile could not be saved.".
bool isProfileUpdateOffered (const ProfileRecord& r)
{
    return r.isProfileUpdateWaiting() && r.auralis_update_message != AccountTexts::auralisUpdateUnavailableMessage;
}

void clearText (BoldTextEditor& box)
{
    box.setEmphasisedText ({}, {}, {});
}

void showNewProfileReady (BoldTextEditor& box)
{
    box.setEmphasisedText (AccountTexts::newProfileReadyText, {}, {});
}
}

//==============================================================================
UpdatesComponent::UpdatesComponent (const Picture& decoderLogoToUse,
                                    const Picture& partnerLogoToUse,
                                    const Picture& poweredByLogoToUse,
                                    const Picture& backArrowToUse,
                                    PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , backArrow (&backArrowToUse)
    , releaseNotesText (BoldTextEditor::Options {}.withSize (282, 200).withFontHeight (19))
    , profileUpdateText (BoldTextEditor::Options {}.withSize (282, 35).withFontHeight (19))
    , profileUpdateButton (AccountTexts::profileUpdateCaption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder())
    , softwareUpdateButton (AccountTexts::softwareUpdateCaption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder())
    , backButton (AccountTexts::backButtonName)
{
    backButton.setPicture (*backArrow, 1.0f, 0.65f, 1.0f);
    backButton.setBounds (80, 155, 26, 26);
    addAndMakeVisible (backButton);

    statusLine.setFont (regularFont (21.0f));
    statusLine.setJustificationType (juce::Justification::centred);
    statusLine.setBounds (73, 157, 400, 23);
    // The line runs over the back arrow: clicks go through it to the arrow.
    statusLine.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (statusLine);

    profileUpdateText.setBounds (130, 223, 282, 28);
    addAndMakeVisible (profileUpdateText);

    releaseNotesText.setBounds (130, 252, 282, 200);
    addAndMakeVisible (releaseNotesText);

    // The update buttons are children from the start (inactive until an
    // update is available), so that one whose update is already known at
    // the page's first paint can still be clicked.
    profileUpdateButton.setName (AccountTexts::profileUpdateCaption);
    profileUpdateButton.setBounds (profileUpdateBounds);
    profileUpdateButton.setEnabled (false);
    addAndMakeVisible (profileUpdateButton);

    softwareUpdateButton.setName (AccountTexts::softwareUpdateCaption);
    softwareUpdateButton.setBounds (softwareUpdateBounds);
    softwareUpdateButton.setEnabled (false);
    addAndMakeVisible (softwareUpdateButton);

    versionLabel.setFont (regularFont (18.0f));
    versionLabel.setJustificationType (juce::Justification::centred);
    versionLabel.setText (AppConstants::applicationVersion, juce::dontSendNotification);
    versionLabel.setBounds (245, 442, 50, 25);
    addAndMakeVisible (versionLabel);

    profileUpdateButton.onClick = [this]
    { profileUpdateClicked(); };

    softwareUpdateButton.onClick = [this]
    { softwareUpdateClicked(); };

    backButton.onClick = [this]
    {
        if (! busy.load() && ! statusCheckBusy.load())
            goHome();
    };
}

//==============================================================================
void UpdatesComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;

    clearText (profileUpdateText);
    clearText (releaseNotesText);
    statusLine.setText ({}, juce::dontSendNotification);

    serviceReachable = true;
    profileLoaded = true;
    softwareUpdateAvailable = false;
    profileUpdateAvailable = false;
    statusLinePending = true;

    startUpdateCheck();
}

juce::Component* UpdatesComponent::getFirstInput()
{
    return &statusLine;
}

void UpdatesComponent::startUpdateCheck()
{
    // A check still under way keeps its inputs and callback; its result
    // serves this entry too. The check starts from the bank as saved: its
    // worker reads the store again from disk, so that this page never waits
    // for the disk.
    updateCheck.start ([this] (StatusCheckThread& worker)
                       {
                           worker.profileName = profileName;
                           worker.store = &store;
                           worker.start = StatusCheckStart::fromSavedBank; },
                       [this] (const juce::String&, int statusCode, int returnCode, const juce::String& message)
                       { updateCheckFinished (statusCode, returnCode, message); });
}

void UpdatesComponent::updateCheckFinished (int statusCode, int returnCode, const juce::String& message)
{
    // The operation has let go of statusCheckBusy before this runs, so it is
    // clear while an alert below runs its nested message loop.
    if (isNoReply (statusCode, returnCode))
    {
        serviceReachable = false;
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);
        return;
    }

    if (statusCode != statusOk)
    {
        profileLoaded = false;
        showAlert (*this, AppConstants::errorTitle, message);
        return;
    }

    ProfileRecord r;
    store.findProfile (profileName, r);

    if (r.software_update_status_code == statusOk)
    {
        addAndMakeVisible (releaseNotesText);
        softwareUpdateAvailable = r.isSoftwareUpdateWaiting();

        if (softwareUpdateAvailable)
            releaseNotesText.setEmphasisedText (r.software_update_message, "\n", r.release_notes);
        else
            clearText (releaseNotesText);
    }
    else
    {
        clearText (releaseNotesText);
        softwareUpdateAvailable = false;
    }

    if (r.auralis_update_status_code == statusOk)
    {
        addAndMakeVisible (profileUpdateText);

        if (r.auralis_update_return_code == noNewerHrtf)
            clearText (profileUpdateText);
        else
            showNewProfileReady (profileUpdateText);

        profileUpdateAvailable = isProfileUpdateOffered (r);
    }
    else
    {
        clearText (profileUpdateText);
        profileUpdateAvailable = false;
    }

    if (r.isFirstHrtfWaiting())
    {
        addAndMakeVisible (profileUpdateText);
        showNewProfileReady (profileUpdateText);
        profileUpdateAvailable = true;
    }

    repaint();
}

//==============================================================================
void UpdatesComponent::profileUpdateClicked()
{
    if (busy.load() || statusCheckBusy.load())
        return;

    store.findProfile (profileName, pageRecord);

    const auto offered = isProfileUpdateOffered (pageRecord) || pageRecord.isFirstHrtfWaiting();

    if (! offered)
        return;

    if (serviceReachable && profileLoaded)
        startProfileUpdate();
    else if (! profileLoaded)
        showAlert (*this, AppConstants::errorTitle, AccountTexts::couldNotLoadProfileMessage);
}

void UpdatesComponent::startProfileUpdate()
{
    overlayMessage = AppConstants::downloadingHrtfMessage;

    ProfileRecord record;
    store.findProfile (profileName, record);

    profileUpdate.start ([&] (PullClientThread& worker)
                         {
                             worker.profileName = record.profileName;
                             worker.store = &store; },
                         [this] (const juce::String&, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
                         { profileUpdateFinished (statusCode, returnCode, message, profileUpdated, fileWritten); });
}

void UpdatesComponent::profileUpdateFinished (int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
{
    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AccountTexts::profileUpdateConnectionMessage);
        return;
    }

    if (statusCode != statusOk)
    {
        const auto text = (statusCode == statusForbidden && returnCode == downloadsUsedUp)
                              ? AccountTexts::downloadsLimitMessage
                              : message;

        // Home after the alert, however it was dismissed.
        const juce::Component::SafePointer<UpdatesComponent> safeThis (this);
        showAlert (*this, AppConstants::errorTitle, text);

        if (safeThis != nullptr)
            goHome();

        return;
    }

    if (profileUpdated && fileWritten)
        goHome();
    else
        showAlert (*this, AppConstants::profileNotSavedTitle, AccountTexts::profileUpdateSaveFailureMessage);
}

//==============================================================================
void UpdatesComponent::softwareUpdateClicked()
{
    if (busy.load() || statusCheckBusy.load())
        return;

    store.findProfile (profileName, pageRecord);

    if (pageRecord.isSoftwareUpdateWaiting() && serviceReachable)
    {
        ExternalActions::openInBrowser (pageRecord.download_url);
        goHome();
    }
}

void UpdatesComponent::goHome()
{
    if (onNavigate)
        onNavigate (profileName, View::HomePage, {});
}

//==============================================================================
void UpdatesComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
    StandardPanel::paint (g);

    paintUpdateButton (g, profileUpdateButton, profileUpdateAvailable, profileUpdateBounds);
    paintUpdateButton (g, softwareUpdateButton, softwareUpdateAvailable, softwareUpdateBounds);

    // The first paint after entering leaves the line empty while the check
    // runs; "No Updates Available!" comes with the next one. The line tells
    // screen readers of each change itself.
    if (profileUpdateAvailable || softwareUpdateAvailable)
    {
        statusLine.setText (AccountTexts::updatesAvailableText, juce::dontSendNotification);
    }
    else if (statusLinePending)
    {
        statusLine.setText ({}, juce::dontSendNotification);
        statusLinePending = false;
    }
    else
    {
        statusLine.setText (AccountTexts::noUpdatesAvailableText, juce::dontSendNotification);
    }
}

void UpdatesComponent::paintUpdateButton (juce::Graphics& g, ButtonComponent& button, bool available, juce::Rectangle<int> bounds)
{
    // An available update's button is drawn by the page, with the red
    // border; otherwise the button draws itself, with its grey one.
    if (available)
    {
        button.paintOnParent = true;
        button.setEnabled (true);
        button.paintOntoParent (g);
        return;
    }

    button.paintOnParent = false;
    button.setEnabled (false);
    addAndMakeVisible (button);
    button.setBounds (bounds);
}
