#include "ProfileLoadedComponent.h"

#include "OnboardingTexts.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "service/PictureDecoder.h"
#include "ui/Announcer.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StandardPanel.h"
#include "ui/StatusIcons.h"

#include <AuralisBinaryData.h>

namespace
{

//==============================================================================
constexpr int tickIntervalMs = 1000;

/** The link's font height; also the height of its area and of the link. The
    font's own height differs by platform (see regularFont), the layout not. */
constexpr float linkFontHeight = 18.0f;

/** A picture that has not arrived by this tick gives way to the embedded one. */
constexpr int screenshotDeadlineTicks = 6;

const juce::Rectangle<float> iconArea { 96.0f, 156.0f, 24.0f, 24.0f };
const juce::Rectangle<int> screenshotArea { 169, 254, 202, 201 };

/** The part of a picture that is drawn: the embedded picture's whole size. */
const juce::Rectangle<int> screenshotSource { 0, 0, 554, 563 };

/** The embedded picture is ours: the framework decodes it as it is. */
juce::Image decodeEmbedded (const void* data, size_t size)
{
    return juce::ImageFileFormat::loadFrom (data, size);
}
}

//==============================================================================
ProfileLoadedComponent::CustomArea::CustomArea()
    : font (mediumFont (linkFontHeight))
    , text (OnboardingTexts::learnHow)
    , learnHowLink (text, {})
{
    // Underlined without changing the style flags, which would drop the
    // embedded face.
    font.setUnderline (true);

    // The link opens the video through the one place that launches the
    // browser, rather than by itself.
    learnHowLink.onClick = []
    { ExternalActions::openInBrowser (AppConstants::setupVideoAddress); };
    learnHowLink.setFont (font, false, juce::Justification::horizontallyCentred);
    learnHowLink.setColour (juce::HyperlinkButton::textColourId, Palette::colour (Palette::white));
    addAndMakeVisible (learnHowLink);

    setSize (350, (int) linkFontHeight);
}

void ProfileLoadedComponent::CustomArea::resized()
{
    juce::FlexBox box;
    box.flexDirection = juce::FlexBox::Direction::row;
    box.flexWrap = juce::FlexBox::Wrap::noWrap;
    box.justifyContent = juce::FlexBox::JustifyContent::center;
    box.items.add (juce::FlexItem (learnHowLink)
                       .withWidth (font.getStringWidthFloat (text) + 5.0f)
                       .withHeight (linkFontHeight));
    box.performLayout (getLocalBounds());
}

std::unique_ptr<juce::AccessibilityHandler> ProfileLoadedComponent::CustomArea::createAccessibilityHandler()
{
    return createIgnoredAccessibilityHandler (*this);
}

//==============================================================================
ProfileLoadedComponent::ProfileLoadedComponent (const Picture& decoderLogoToUse,
                                                const Picture& partnerLogoToUse,
                                                const Picture& poweredByLogoToUse,
                                                PresetStore& storeToUse)
    : GradientBackgroundComponent (&decoderLogoToUse, &partnerLogoToUse, &poweredByLogoToUse)
    , store (storeToUse)
    , validIcon (StatusIcons::fittedInto (StatusIcons::makeValidIcon(), iconArea))
    , homeButton (OnboardingTexts::home, ButtonComponent::Options {}.withSmallCorners().withFontHeight (18.0f).withAlternateColours())
{
    juce::ignoreUnused (store);

    const auto white = Palette::colour (Palette::white);
    textRows = {
        { OnboardingTexts::openTheDecoder, juce::Justification::centred, regularFont (18.0f), white, { 64, 204, 414, 22 } },
        { OnboardingTexts::selectTheProfile, juce::Justification::left, regularFont (18.0f), white, { 79, 224, 380, 22 } },
        { OnboardingTexts::congratulations, juce::Justification::centred, regularFont (18.0f), Palette::colour (Palette::secondaryCaption), { 120, 157, 268, 22 } },
    };

    congratulationsCaption = exposeCaptions (textRows).back();

    addAndMakeVisible (homeButton);
    homeButton.setBounds (388, 152, 78, 32);
    homeButton.onClick = [this]
    { home(); };

    addAndMakeVisible (learnHowArea);
    learnHowArea.setTopLeftPosition (218, 226);
}

void ProfileLoadedComponent::setCurrentProfile (const juce::String& name)
{
    profileName = name;
}

juce::Component* ProfileLoadedComponent::getFirstInput()
{
    return &homeButton;
}

juce::Component* ProfileLoadedComponent::getMainInformation()
{
    return congratulationsCaption;
}

//==============================================================================
void ProfileLoadedComponent::visibilityChanged()
{
    if (! isVisible())
    {
        stopTimer();
        return;
    }

    secondsVisible = 0;
    downloadingScreenshot = true;
    repaint();

    // The profile is loaded: screen readers say so as the page appears.
    Announcer::announce (OnboardingTexts::congratulations);

    // A download still under way from an earlier showing delivers for this
    // one.
    screenshotDownload.start ([] (DownloadImageThread& worker)
                              {
                                  worker.url = AppConstants::getScreenshotAddress();
                                  worker.largestPicture = PictureDecoder::largestSizeFor (screenshotArea); },
                              [this] (bool success, const juce::Image& picture)
                              { onScreenshotDownloaded (success, picture); });

    startTimer (tickIntervalMs);
}

void ProfileLoadedComponent::timerCallback()
{
    ++secondsVisible;

    // The picture is only decoration: by the deadline the embedded one is
    // shown, and HOME and the close button work again, however long the
    // download still takes.
    if (downloadingScreenshot && secondsVisible >= screenshotDeadlineTicks)
        settleScreenshot (getEmbeddedScreenshot());
}

void ProfileLoadedComponent::onScreenshotDownloaded (bool success, const juce::Image& picture)
{
    // After the deadline the embedded picture is already shown, which is
    // what a late picture gives way to.
    if (! downloadingScreenshot)
        return;

    // Bytes that are no picture (or one too large, or damaged) leave nothing
    // to show: the embedded picture stands in for them as for a failed
    // download.
    const auto arrived = success && picture.isValid() && secondsVisible < screenshotDeadlineTicks;
    settleScreenshot (arrived ? picture : getEmbeddedScreenshot());
}

const juce::Image& ProfileLoadedComponent::getEmbeddedScreenshot()
{
    // Decoded when first shown rather than at start-up: most first runs
    // never show it, and it is the largest picture the program carries.
    if (! fallbackScreenshot.isValid())
        fallbackScreenshot = decodeEmbedded (AuralisBinaryData::pluginscreenshot_png, (size_t) AuralisBinaryData::pluginscreenshot_pngSize);

    return fallbackScreenshot;
}

void ProfileLoadedComponent::settleScreenshot (const juce::Image& picture)
{
    screenshotDownload.letGo();
    downloadingScreenshot = false;
    screenshot = picture;
    repaint();
}

//==============================================================================
void ProfileLoadedComponent::paint (juce::Graphics& g)
{
    paintBackground (g);
    drawTextRows (g, { textRows[0], textRows[1] });
    StandardPanel::paint (g);

    g.setColour (Palette::colour (Palette::greenMark));
    g.fillPath (validIcon);
    drawTextRows (g, { textRows[2] });

    if (screenshot.isValid())
        g.drawImage (screenshot,
                     screenshotArea.getX(),
                     screenshotArea.getY(),
                     screenshotArea.getWidth(),
                     screenshotArea.getHeight(),
                     screenshotSource.getX(),
                     screenshotSource.getY(),
                     screenshotSource.getWidth(),
                     screenshotSource.getHeight());
}

void ProfileLoadedComponent::home()
{
    if (onNavigate && ! downloadingScreenshot)
        onNavigate (profileName, View::StartPage, {});
}
