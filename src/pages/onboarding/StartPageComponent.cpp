#include "StartPageComponent.h"

#include "OnboardingTexts.h"
#include "alerts/Alerts.h"
#include "alerts/SoftwareUpdateNotice.h"
#include "common/AppConstants.h"
#include "common/SharedFlags.h"
#include "service/PictureDecoder.h"
#include "store/ServiceCodes.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StandardPanel.h"
#include "ui/StatusIcons.h"

namespace
{

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
    , beginButton (OnboardingTexts::begin, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withGreyBorder())
    , errorIcon (StatusIcons::fittedInto (StatusIcons::makeErrorIcon(), iconArea))
    , validIcon (StatusIcons::fittedInto (StatusIcons::makeValidIcon(), iconArea))
    , backArrow (backArrowToUse)
{
    const auto white = Palette::colour (Palette::white);
    textRows = {
        { OnboardingTexts::welcomeFirstLine, juce::Justification::centredBottom, regularFont (20.0f), white, { 71, 145, 400, 23 } },
        { OnboardingTexts::welcomeSecondLine, juce::Justification::centredBottom, regularFont (20.0f), white, { 74, 169, 400, 23 } },
        { OnboardingTexts::namePrompt, juce::Justification::bottomLeft, regularFont (18.0f), white, { 82, 305, 400, 28 } },
    };

    exposeCaptions (textRows);

    addAndMakeVisible (userNameEditor);
    userNameEditor.setTopLeftPosition (80, 338);
    userNameEditor.editor.setTitle (OnboardingTexts::namePrompt.trim());

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

    // A check still under way from an earlier showing keeps its flags and
    // delivers its result; it is not started again.
    if (firstRun)
        softwareCheck.start ([] (SoftwareCheckThread&) {},
                             [this] (const auto&... result)
                             { SoftwareUpdateNotice::showForCheckResult (*this, result...); });

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
            userNameError.setText (OnboardingTexts::invalidName, juce::dontSendNotification);
            userNameInvalid = true;
            userNameValid = false;
        }
        else if (store.findProfile (name, existing))
        {
            userNameError.setText (OnboardingTexts::nameAlreadyRegistered, juce::dontSendNotification);
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

    verdictAnnouncer.announceChange (userNameValid ? OnboardingTexts::validName : userNameError.getText());
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
    profileCheck.start ([&] (StatusCheckThread& worker)
                        {
                            worker.profileName = name;
                            worker.store = &store; },
                        [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)
                        { onProfileChecked (execId, statusCode, returnCode, message); });

    userNameEditor.setEnabled (false);
    nameBeingRegistered = name;
    userNameEditor.edited = false;
    refreshVerdict();
}

void StartPageComponent::startQrCodeRequest()
{
    overlayMessage = OnboardingTexts::generatingQrCode;
    userNameEditor.setEnabled (false);

    qrCodeRequest.start ([] (QrCodeGeneratorThread& worker)
                         { worker.largestPicture = PictureDecoder::largestSizeFor (AppConstants::qrCodeArea); },
                         [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, const juce::Image& image)
                         { onQrCodeReceived (execId, statusCode, returnCode, message, image); });
}

void StartPageComponent::startHrtfPull()
{
    overlayMessage = AppConstants::downloadingHrtfMessage;
    userNameEditor.setEnabled (false);

    hrtfPull.start ([this] (PullClientThread& worker)
                    {
                        worker.profileName = nameBeingRegistered;
                        worker.store = &store; },
                    [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
                    { onHrtfPulled (execId, statusCode, returnCode, message, profileUpdated, fileWritten); });
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
    userNameEditor.setEnabled (true);

    ProfileRecord record;
    store.findProfile (nameBeingRegistered, record);

    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);
        return;
    }

    if (statusCode != statusOk)
    {
        showAlert (*this, OnboardingTexts::registerAgainTitle, message);
        removeRegisteredProfile (record.profileName);
        return;
    }

    if (record.hrtf_requested > 0 && record.downloadsLeft() <= 0)
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::downloadLimitMessage + AppConstants::supportEmailAddress);
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
        startQrCodeRequest();
    }

    profileAccepted = true;
    refreshVerdict();
}

void StartPageComponent::onHrtfPulled (const juce::String&, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
{
    userNameEditor.edited = false;
    refreshVerdict();
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
                              ? OnboardingTexts::pullLimitPrefix + AppConstants::supportEmailAddress + "."
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
        showAlert (*this, AppConstants::profileNotSavedTitle, OnboardingTexts::notSavedPressBeginBeforeAddress + AppConstants::supportEmailAddress + OnboardingTexts::notSavedAfterAddress);
        removeRegisteredProfile (name);
    }

    profileAccepted = true;
    refreshVerdict();
}

void StartPageComponent::onQrCodeReceived (const juce::String&, int statusCode, int returnCode, const juce::String& message, const juce::Image& image)
{
    userNameEditor.edited = false;
    refreshVerdict();
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
        showAlert (*this, AppConstants::errorTitle, OnboardingTexts::qrCodeFailed);
        removeRegisteredProfile (record.profileName);
    }

    profileAccepted = true;
    refreshVerdict();
}
