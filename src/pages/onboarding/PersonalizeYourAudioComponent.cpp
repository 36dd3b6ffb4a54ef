#include "PersonalizeYourAudioComponent.h"

#include "OnboardingTexts.h"
#include "alerts/Alerts.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "common/SharedFlags.h"
#include "store/ServiceCodes.h"
#include "store/SubmissionNumber.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StandardPanel.h"
#include "ui/StatusIcons.h"

namespace
{

//==============================================================================
using namespace ServiceCodes;

/** The schedule, in timer ticks of one second. */
constexpr int tickIntervalMs = 1000;
constexpr int firstCheckTick = 60;
constexpr int lastCheckTickLimit = 240; // checks start only below this tick
constexpr int ticksBetweenChecks = 21;

constexpr int numInstructionRows = 5;

const juce::Rectangle<float> iconArea { 438.0f, 156.0f, 24.0f, 24.0f };
const auto qrCodeArea = AppConstants::qrCodeArea.toFloat();

}

//==============================================================================
PersonalizeYourAudioComponent::PersonalizeYourAudioComponent (const Picture& decoderLogoToUse,
                                                              const Picture& partnerLogoToUse,
                                                              const Picture& poweredByLogoToUse,
                                                              const Picture& backArrowToUse,
                                                              PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , nextButton (OnboardingTexts::next, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f))
    , watchNowButton (OnboardingTexts::watchNow, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f))
    , errorIcon (StatusIcons::fittedInto (StatusIcons::makeErrorIcon(), iconArea))
    , validIcon (StatusIcons::fittedInto (StatusIcons::makeValidIcon(), iconArea))
    , backArrow (backArrowToUse)
    , qrCodeCaption (OnboardingTexts::qrCodeTitle, juce::AccessibilityRole::image)
{
    const auto white = Palette::colour (Palette::white);
    const auto instruction = [white] (const juce::String& text, juce::Rectangle<int> area) -> TextRow
    { return { text, juce::Justification::centredLeft, regularFont (17.0f), white, area }; };
    const auto notice = [white] (const juce::String& text, juce::Rectangle<int> area) -> TextRow
    { return { text, juce::Justification::centred, regularFont (18.0f), white, area }; };

    textRows = {
        instruction (OnboardingTexts::learnHowFirstLine, { 259, 224, 213, 20 }),
        instruction (OnboardingTexts::learnHowSecondLine, { 259, 244, 213, 20 }),
        instruction (OnboardingTexts::scanFirstLine, { 259, 316, 213, 20 }),
        instruction (OnboardingTexts::scanSecondLine, { 259, 336, 213, 20 }),
        instruction (OnboardingTexts::scanThirdLine, { 259, 356, 213, 20 }),
        notice (OnboardingTexts::notDetectedFirstLine, { 131, 149, 290, 20 }),
        notice (OnboardingTexts::notDetectedSecondLine, { 131, 169, 290, 20 }),
    };

    exposeCaptions ({ textRows.begin(), textRows.begin() + numInstructionRows });
    notDetectedCaptions = exposeCaptions ({ textRows.begin() + numInstructionRows, textRows.end() });

    for (auto* caption : notDetectedCaptions)
        caption->setVisible (false);

    qrCodeCaption.setDescription (OnboardingTexts::qrCodeDescription);
    qrCodeCaption.setBounds (qrCodeArea.toNearestInt());
    addChildComponent (qrCodeCaption);

    loggedInAs.namesInAnyScript = true;
    loggedInAs.setTopLeftPosition (112, 154);

    addAndMakeVisible (nextButton);
    nextButton.setBounds (259, 390, 100, 32);
    addAndMakeVisible (watchNowButton);
    watchNowButton.setBounds (259, 274, 100, 32);

    backButton.setPicture (backArrow, 1.0f, 0.65f, 1.0f);
    addAndMakeVisible (backButton);
    backButton.setBounds (80, 155, 26, 26);

    nextButton.onClick = [this]
    { next(); };
    backButton.onClick = [this]
    { back(); };
    watchNowButton.onClick = [this]
    { watchNow(); };
}

void PersonalizeYourAudioComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
    loggedInAs.setEmphasisedText (OnboardingTexts::loggedInAsPrefix, name, {});
}

//==============================================================================
void PersonalizeYourAudioComponent::visibilityChanged()
{
    if (! isVisible())
    {
        stopTimer();
        return;
    }

    secondsVisible = 0;
    secondsSinceCheck = ticksBetweenChecks;
    setShowingNotDetected (false);
    manualCheck = false;

    // Shown before the first paint, so that it can take the focus as the
    // page appears.
    qrCodeCaption.setVisible (qrImage.isValid());
    repaint();
    startTimer (tickIntervalMs);
}

void PersonalizeYourAudioComponent::setQrImage (const juce::Image& image)
{
    qrImage = image;
    qrCodeCaption.setVisible (qrImage.isValid());
    repaint();
}

juce::Component* PersonalizeYourAudioComponent::getFirstInput()
{
    return &qrCodeCaption;
}

void PersonalizeYourAudioComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
    drawTextRows (g, { textRows.begin(), textRows.begin() + numInstructionRows });
    StandardPanel::paint (g);

    g.setColour (Palette::colour (showNotDetected ? Palette::redMark : Palette::greenMark));
    g.fillPath (showNotDetected ? errorIcon : validIcon);

    if (qrImage.isValid())
        g.drawImage (qrImage, qrCodeArea, juce::RectanglePlacement::stretchToFit);

    if (showNotDetected)
    {
        removeChildComponent (&loggedInAs);
        drawTextRows (g, { textRows.begin() + numInstructionRows, textRows.end() });
    }
    else
    {
        addAndMakeVisible (loggedInAs);
    }
}

//==============================================================================
void PersonalizeYourAudioComponent::timerCallback()
{
    if (secondsVisible > lastCheckTickLimit)
        stopTimer();

    ++secondsVisible;

    if (! imageCheck.isRunning())
        ++secondsSinceCheck;

    if (secondsVisible < firstCheckTick)
        return;

    // No check starts while the HRTF download runs: its result could find
    // the page already left, and would start the download a second time.
    if (secondsVisible < lastCheckTickLimit && secondsSinceCheck >= ticksBetweenChecks && ! busy)
        startImageCheck();

    setShowingNotDetected (true);
    repaint();
}

void PersonalizeYourAudioComponent::next()
{
    if (imageCheck.isRunning() || busy)
        return;

    manualCheck = true;
    startImageCheck();
}

void PersonalizeYourAudioComponent::back()
{
    if (imageCheck.isRunning() || busy)
        return;

    if (onNavigate)
        onNavigate (profileName, View::HomePage, {});
}

void PersonalizeYourAudioComponent::watchNow()
{
    if (imageCheck.isRunning() || busy)
        return;

    ExternalActions::openInBrowser (AppConstants::earTutorialVideoAddress);
}

void PersonalizeYourAudioComponent::setShowingNotDetected (bool shouldShow)
{
    // Screen readers find the notice as soon as the band is to show it.
    showNotDetected = shouldShow;

    for (auto* caption : notDetectedCaptions)
        caption->setVisible (shouldShow);
}

void PersonalizeYourAudioComponent::endAutomaticChecks()
{
    manualCheck = false;
    stopTimer();
}

//==============================================================================
void PersonalizeYourAudioComponent::startImageCheck()
{
    ProfileRecord record;
    store.findProfile (profileName, record);

    const auto started = imageCheck.start ([&] (StatusCheckThread& worker)
                                           { worker.checkProfile (record, store); },
                                           [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message)
                                           { onImageChecked (execId, statusCode, returnCode, message); });

    if (started)
    {
        secondsSinceCheck = 0;
        lastImageNumber = 0;
    }
}

void PersonalizeYourAudioComponent::onImageChecked (const juce::String&, int statusCode, int returnCode, const juce::String& message)
{
    // While an alert below is up, the timer keeps ticking; the check counts
    // as running until it is closed, so no other check starts meanwhile.
    if (isNoReply (statusCode, returnCode))
    {
        showAlert (*this, AppConstants::errorTitle, AppConstants::connectionMessage);

        if (manualCheck)
            endAutomaticChecks();

        return;
    }

    if (statusCode != statusOk)
    {
        if (manualCheck)
        {
            showAlert (*this, message, OnboardingTexts::pressDoneToTryAgain);
            endAutomaticChecks();
        }
        else
        {
            showAlert (*this, message, OnboardingTexts::tryingAgain);
        }

        return;
    }

    ProfileRecord record;
    store.findProfile (profileName, record);

    // A profile entered from the home page may have used up its quotas.
    if (! newProfile)
    {
        const auto* quotaMessage = record.submissionsLeft() < 0 ? &OnboardingTexts::maximumHrtfsReached
                                   : record.downloadsLeft() < 0 ? &OnboardingTexts::maximumPullsReached
                                                                : nullptr;

        // Only the running check ends: manualCheck stays as it was, so a
        // later failed check is still reported as one started with Next.
        if (quotaMessage != nullptr)
        {
            showAlert (*this, AppConstants::errorTitle, *quotaMessage);
            return;
        }
    }

    bool pullStarted = false;

    if (record.hrtf_requested > 0)
    {
        if (record.img_id.isNotEmpty())
            lastImageNumber = SubmissionNumber::fromImageId (record.img_id);

        // More submissions processed than the one whose HRTF is here.
        if (record.hrtf_requested > lastImageNumber)
        {
            startHrtfPull();
            pullStarted = true;
        }
    }

    if (! pullStarted && manualCheck
        && (record.hrtf_requested == 0 || (record.hrtf_requested > 0 && record.hrtf_requested <= lastImageNumber)))
    {
        showAlert (*this, OnboardingTexts::noImageTitle, OnboardingTexts::noImageMessage);
        endAutomaticChecks();
    }
}

void PersonalizeYourAudioComponent::startHrtfPull()
{
    overlayMessage = AppConstants::downloadingHrtfMessage;

    ProfileRecord record;
    store.findProfile (profileName, record);

    hrtfPull.start ([&] (PullClientThread& worker)
                    {
                        worker.profileName = record.profileName;
                        worker.store = &store; },
                    [this] (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
                    { onHrtfPulled (execId, statusCode, returnCode, message, profileUpdated, fileWritten); });
}

void PersonalizeYourAudioComponent::onHrtfPulled (const juce::String&, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten)
{
    // Every failure ends the automatic checks before its alert; only Next
    // checks again.
    if (isNoReply (statusCode, returnCode))
    {
        endAutomaticChecks();
        showAlert (*this, AppConstants::errorTitle, OnboardingTexts::pullConnectionMessage);
        return;
    }

    if (statusCode != statusOk)
    {
        const auto text = (statusCode == statusForbidden && returnCode == downloadsUsedUp)
                              ? AppConstants::downloadLimitMessage + AppConstants::supportEmailAddress
                              : message;

        endAutomaticChecks();
        showAlert (*this, AppConstants::errorTitle, text);
        return;
    }

    if (profileUpdated && fileWritten)
    {
        if (onNavigate)
            onNavigate (profileName, View::StartPage, {});

        return;
    }

    endAutomaticChecks();
    showAlert (*this, AppConstants::profileNotSavedTitle, OnboardingTexts::notSavedPressDoneBeforeAddress + AppConstants::supportEmailAddress + OnboardingTexts::notSavedAfterAddress);
}
