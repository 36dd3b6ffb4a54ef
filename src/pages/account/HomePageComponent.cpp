#include "HomePageComponent.h"

#include "AccountTexts.h"
#include "SubmitRules.h"
#include "alerts/Alerts.h"
#include "common/AppConstants.h"
#include "service/PictureDecoder.h"
#include "store/ServiceCodes.h"
#include "store/SubmissionNumber.h"
#include "ui/Announcer.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <AuralisBinaryData.h>

namespace
{
using namespace ServiceCodes;

constexpr int tickIntervalMs = 1000;
constexpr int numDots = 5;
constexpr int submissionsWithoutImage = 5;

const juce::Rectangle<int> refreshRingArea { 436, 159, 42, 42 };
const juce::Rectangle<int> badgeArea { 464, 147, 20, 20 };
const juce::Rectangle<int> detailsBoxArea { 64, 225, 416, 120 };

TextRow detailsCaption (const juce::String& text, int y)
{
    return { text, juce::Justification::bottomLeft, regularFont (18.0f), Palette::colour (Palette::white), { 123, y, 200, 28 } };
}
}

//==============================================================================
HomePageComponent::HomePageComponent (const Picture& decoderLogoToUse,
                                      const Picture& partnerLogoToUse,
                                      const Picture& poweredByLogoToUse,
                                      PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , checkForUpdatesButton (AccountTexts::checkForUpdatesName)
    , submitNewImageButton (AccountTexts::submitNewImageCaption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f))
    , addProfileButton (AccountTexts::addProfileCaption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (28.0f))
    , userBox (AccountTexts::profileSelectorName)
    , showButton (AccountTexts::showCaption, ButtonComponent::Options {}.withSmallCorners().withFontHeight (14.0f).withAlternateColours().withTransparentFill())
    , refreshIcon (Picture::fromDrawn (AuralisBinaryData::refreshicon_apix,
                                       AuralisBinaryData::refreshicon_apixSize,
                                       AuralisBinaryData::refreshicon2x_apix,
                                       AuralisBinaryData::refreshicon2x_apixSize))
    , hrtfIdBox (BoldTextEditor::Options {}.withSize (225, 28).withFontHeight (14).withGreyText().withLeftJustifiedText())
{
    userBox.setBounds (64, 160, 274, 40);

    userBox.setTitle (AccountTexts::profileSelectorTitle);

    addProfileButton.setName (AccountTexts::addProfileCaption);
    addProfileButton.setTitle (AccountTexts::addProfileTitle);
    addProfileButton.setBounds (369, 160, 45, 40);

    checkForUpdatesButton.setPicture (refreshIcon, 1.0f, 0.65f, 1.0f);
    checkForUpdatesButton.setBounds (refreshRingArea);

    // The badge's digit sits on the refresh icon; a click on it reaches the icon.
    // Screen readers hear of it through the icon's description instead.
    updateBadge.setBounds (465, 146, 20, 20);
    updateBadge.setInterceptsMouseClicks (false, false);
    updateBadge.setAccessible (false);

    rows.push_back (detailsCaption (AccountTexts::imageSubmissionsLeftCaption, 281));
    rows.push_back (detailsCaption (AccountTexts::currentHrtfIdCaption, 308));
    exposeCaptions (rows);

    for (auto x : { 298, 326, 354, 382, 410 })
        dotAreas.emplace_back (x, 290, 17, 17);

    submissionsLeftCaption.setBounds (dotAreas.front().getUnion (dotAreas.back()));
    addAndMakeVisible (submissionsLeftCaption);
    showSubmissionsLeft();

    showButton.setName (AccountTexts::showCaption);
    showButton.setBounds (297, 315, 70, 21);

    hrtfIdBox.setBounds (294, 315, 225, 28);

    submitNewImageButton.setName (AccountTexts::submitNewImageCaption);
    submitNewImageButton.setBounds (280, 370, 200, 40);

    addAndMakeVisible (checkForUpdatesButton);
    addAndMakeVisible (addProfileButton);
    addAndMakeVisible (submitNewImageButton);
    addAndMakeVisible (showButton);
    addAndMakeVisible (userBox);
    addAndMakeVisible (updateBadge);

    userBox.onChange = [this]
    {
        if (! busy.load() && ! checkRunning)
            selectProfile (selectedIndex());
    };

    addProfileButton.onClick = [this]
    {
        if (onNavigate && ! busy.load() && ! checkRunning)
            onNavigate (userBox.getText(), View::StartPage, {});
    };

    checkForUpdatesButton.onClick = [this]
    {
        if (onNavigate && ! busy.load() && ! checkRunning)
            onNavigate (userBox.getText(), View::Updates, {});
    };

    submitNewImageButton.onClick = [this]
    {
        if (! busy.load() && ! checkRunning)
            startSubmitCheck();
    };

    showButton.onClick = [this]
    {
        if (busy.load() || checkRunning)
            return;

        removeChildComponent (&showButton);
        addAndMakeVisible (hrtfIdBox);
    };
}

//==============================================================================
juce::Component* HomePageComponent::getFirstInput()
{
    return &userBox;
}

void HomePageComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
    userBox.setEnabled (true);
    userBox.clear (juce::sendNotificationAsync);

    // Item ids are bank index + 1. A preset without a name gets no item (the
    // framework refuses empty items), so items are found by id, not position.
    const auto names = store.getProfileNames();
    int selected = 0;

    for (int i = 0; i < names.size(); ++i)
    {
        if (names[i].isEmpty())
            continue;

        userBox.addItem (names[i], i + 1);

        if (names[i] == profileName)
        {
            userBox.setSelectedId (i + 1, juce::sendNotificationAsync);
            selected = i;
        }
    }

    clearBadge();
    addAndMakeVisible (showButton);
    removeChildComponent (&hrtfIdBox);

    selectProfile (selected);
}

void HomePageComponent::selectProfile (int index)
{
    if (index < 0)
    {
        repaint();
        return;
    }

    if (! checkRunning)
        startBackgroundCheck (index);

    if (const auto preset = store.presetAt (index); preset.isValid())
        store.fillRecord (preset, pageRecord);

    showSubmissionsLeft();
    hrtfIdBox.setEmphasisedText (pageRecord.hrtf_id.isNotEmpty() ? pageRecord.hrtf_id : AccountTexts::noHrtfText, {}, {});

    lastSelectedIndex = index;
    store.setLastSelectedPreset (index);
    repaint();
}

int HomePageComponent::selectedIndex() const
{
    return userBox.getSelectedId() - 1;
}

//==============================================================================
void HomePageComponent::startBackgroundCheck (int index)
{
    ProfileRecord record;

    if (const auto preset = store.presetAt (index); preset.isValid())
        store.fillRecord (preset, record);

    // A check still under way keeps its inputs and its callback; this request
    // is dropped, and the running check's result is shown instead.
    const auto started = backgroundCheck.start ([&] (BackgroundStatusCheckThread& worker)
                                                {
                                                    worker.profileName = record.profileName;
                                                    worker.store = &store; },
                                                [this] (const juce::String&, int statusCode, int returnCode, const juce::String&)
                                                { backgroundCheckFinished (statusCode, returnCode); });

    if (! started)
        return;

    checkRunning = true;
    clearBadge();
    repaint();
}

void HomePageComponent::backgroundCheckFinished (int statusCode, int returnCode)
{
    // The check re-read the bank from disk; the selection made here since the
    // last save must not be lost with it.
    if (lastSelectedIndex >= 0)
        store.setLastSelectedPreset (lastSelectedIndex);

    // Everything the result changes is settled before an alert opens: an alert
    // runs a nested message loop, in which ticks and other results go on.
    if (isNoReply (statusCode, returnCode))
    {
        updateCheckRunning();
        repaint();
        showPageAlert (AppConstants::errorTitle, AppConstants::connectionMessage);
        return;
    }

    if (statusCode != statusOk)
    {
        updateCheckRunning();
        return;
    }

    ProfileRecord r;
    store.findProfile (userBox.getText(), r);
    repaint();

    if (r.force_update && r.download_url.isNotEmpty())
    {
        // The page stays locked: the alert's "OK" opens the address and quits.
        checkRunning = true;

        if (isVisible())
            showUpdateAlert (*this, AppConstants::updateNowTitle, AppConstants::outOfDateMessage, r.download_url);

        return;
    }

    bool hrtfNotFound = false;

    if (r.isFirstHrtfWaiting())
    {
        showBadge();
    }
    else if (r.isHrtfNotFound())
    {
        hrtfNotFound = true;
        clearBadge();
    }

    if (r.isSoftwareUpdateWaiting() || r.isProfileUpdateWaiting())
        showBadge();

    repaint();
    updateCheckRunning();

    if (hrtfNotFound)
        showPageAlert (AccountTexts::hrtfNotFoundTitle, AccountTexts::hrtfNotFoundMessage);
}

//==============================================================================
void HomePageComponent::startSubmitCheck()
{
    ProfileRecord record;
    store.findProfile (userBox.getText(), record);

    const auto started = submitCheck.start ([&] (StatusCheckThread& worker)
                                            { worker.checkProfile (record, store); },
                                            [this] (const juce::String&, int statusCode, int returnCode, const juce::String& message)
                                            { submitCheckFinished (statusCode, returnCode, message); });

    if (! started)
        return;

    checkRunning = true;
    userBox.setEnabled (false);
}

void HomePageComponent::submitCheckFinished (int statusCode, int returnCode, const juce::String& message)
{
    ProfileRecord r;
    store.findProfile (userBox.getText(), r);

    using SubmitRules::Outcome;
    const auto outcome = SubmitRules::decide (statusCode, returnCode, r);

    if (outcome == Outcome::requestQrCode)
    {
        // On to the QR code. The profile selector stays disabled while it is
        // fetched.
        requestQrCode();
        updateCheckRunning();
        return;
    }

    if (outcome == Outcome::hrtfInfoFound && ! updatesAvailable)
    {
        showBadge();
        repaint();
    }

    finishSubmitCheck();

    switch (outcome)
    {
        case Outcome::noConnection:
            showPageAlert (AppConstants::errorTitle, AppConstants::connectionMessage);
            break;

        case Outcome::refused:
            showPageAlert (AppConstants::errorTitle, message);
            break;

        case Outcome::hrtfInfoFound:
            showPageAlert (AccountTexts::hrtfInfoFoundTitle, AccountTexts::hrtfInfoFoundMessage);
            break;

        case Outcome::downloadsUsedUp:
            showPageAlert (AppConstants::errorTitle, AccountTexts::downloadsLimitMessage);
            break;

        case Outcome::submissionsUsedUp:
            showPageAlert (AppConstants::errorTitle, AccountTexts::submissionsLimitMessage);
            break;

        case Outcome::requestQrCode:
            break;
    }
}

void HomePageComponent::finishSubmitCheck()
{
    updateCheckRunning();
    userBox.setEnabled (true);
}

//==============================================================================
void HomePageComponent::requestQrCode()
{
    overlayMessage = AccountTexts::generatingQrCodeMessage;

    qrCodeRequest.start ([] (QrCodeGeneratorThread& worker)
                         { worker.largestPicture = PictureDecoder::largestSizeFor (AppConstants::qrCodeArea); },
                         [this] (const juce::String&, int statusCode, int returnCode, const juce::String& message, const juce::Image& qrImage)
                         { qrCodeReceived (statusCode, returnCode, message, qrImage); });
}

void HomePageComponent::qrCodeReceived (int statusCode, int returnCode, const juce::String& message, const juce::Image& qrImage)
{
    juce::String failure;

    if (isNoReply (statusCode, returnCode))
        failure = AppConstants::connectionMessage;
    else if (statusCode != statusOk)
        failure = message;
    else if (! qrImage.isValid())
        failure = AccountTexts::qrDownloadFailedMessage;

    if (failure.isEmpty())
    {
        if (onNavigate)
            onNavigate (userBox.getText(), View::PersonalizeYourAudio, qrImage);

        return;
    }

    // The page stays; the user may choose another profile again.
    userBox.setEnabled (true);
    showPageAlert (AppConstants::errorTitle, failure);
}

//==============================================================================
void HomePageComponent::visibilityChanged()
{
    if (isVisible())
    {
        secondsVisible = 0;
        startTimer (tickIntervalMs);
        checkRunning = false;
    }
    else
    {
        stopTimer();
    }
}

void HomePageComponent::timerCallback()
{
    ++secondsVisible;

    if (secondsVisible <= secondsPerDay || ! canStartDailyRefresh())
        return;

    // Once a day: the next day counts from here.
    secondsVisible = 0;
    clearBadge();
    selectProfile (selectedIndex());
}

bool HomePageComponent::canStartDailyRefresh()
{
    // Waits, tick by tick, while a check or the QR request is under way or an
    // alert is open, so that the refresh neither piles up behind an
    // unanswered alert nor is lost to a running check.
    return ! checkRunning && ! busy.load() && ! isOperationOutstanding()
           && ! isCurrentlyBlockedByAnotherModalComponent();
}

//==============================================================================
void HomePageComponent::showBadge()
{
    if (! updatesAvailable)
        Announcer::announce (AccountTexts::updatesAvailableText);

    updateBadge.setText (AccountTexts::updateBadgeText, juce::dontSendNotification);
    checkForUpdatesButton.setDescription (AccountTexts::updatesAvailableText);
    updatesAvailable = true;
}

void HomePageComponent::clearBadge()
{
    updateBadge.setText ({}, juce::dontSendNotification);
    checkForUpdatesButton.setDescription ({});
    updatesAvailable = false;
}

bool HomePageComponent::isOperationOutstanding() const
{
    return backgroundCheck.isRunning() || submitCheck.isRunning() || qrCodeRequest.isRunning();
}

void HomePageComponent::updateCheckRunning()
{
    checkRunning = backgroundCheck.isRunning() || submitCheck.isRunning();
}

void HomePageComponent::showPageAlert (const juce::String& title, const juce::String& message)
{
    // A result that arrives after the user has moved on to another page is
    // not shown over that page; entering this page again checks afresh.
    if (isVisible())
        showAlert (*this, title, message);
}

//==============================================================================
void HomePageComponent::paint (juce::Graphics& g)
{
    paintBackground (g);

    g.setColour (Palette::colour (Palette::redAccent));
    g.drawEllipse (refreshRingArea.toFloat(), 1.0f);

    g.setColour (Palette::colour (Palette::dotOutline));

    for (const auto& dot : dotAreas)
        g.drawEllipse (dot.toFloat(), 1.0f);

    g.setColour (juce::Colours::white);
    g.drawRoundedRectangle (detailsBoxArea.toFloat(), 6.0f, 2.0f);

    drawTextRows (g, rows);

    if (updatesAvailable)
    {
        g.setColour (Palette::colour (Palette::badgeRed));
        g.fillEllipse (badgeArea.toFloat());
        g.setColour (Palette::colour (Palette::black));
        g.drawEllipse (badgeArea.toFloat(), 1.0f);
    }

    countSubmissions();

    for (int i = 0; i < filledDots; ++i)
    {
        const auto dot = dotAreas[(size_t) i].toFloat();
        g.setColour (Palette::colour (Palette::redAccent));
        g.fillEllipse (dot);
        g.setColour (Palette::colour (Palette::dotOutline));
        g.drawEllipse (dot, 1.0f);
    }
}

void HomePageComponent::countSubmissions()
{
    if (pageRecord.img_id.isNotEmpty())
    {
        submissionsUsed = SubmissionNumber::fromImageId (pageRecord.img_id);
        submissionsAllowed = pageRecord.hrtf_allowed;
    }
    else
    {
        submissionsAllowed = submissionsWithoutImage;
        submissionsUsed = 0;
    }

    // The dots show the submissions left, at most five; counted wide, since
    // both numbers come from the service.
    const auto left = (juce::int64) submissionsAllowed - submissionsUsed;
    filledDots = (int) juce::jlimit ((juce::int64) 0, (juce::int64) numDots, left);
}

void HomePageComponent::showSubmissionsLeft()
{
    // Screen readers hear the count as soon as the profile is read, painted
    // or not.
    countSubmissions();
    submissionsLeftCaption.setTitle (juce::String (filledDots));
}
