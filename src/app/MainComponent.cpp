#include "MainComponent.h"

#include "common/AppConstants.h"
#include "service/OperationRegistry.h"
#include "ui/KeyboardFocusIndicator.h"

#include <AuralisBinaryData.h>

namespace
{
juce::String withTrailingSeparator (const juce::String& path)
{
    return path.endsWith (juce::File::getSeparatorString()) ? path : path + juce::File::getSeparatorString();
}
}

//==============================================================================
MainComponent::MainComponent()
    : MainComponent (juce::File (computeDataFolder()))
{
}

MainComponent::MainComponent (const juce::File& dataFolderToUse)
    : dataFolder (withTrailingSeparator (dataFolderToUse.getFullPathName()))
    , store (juce::File (dataFolder + "Presets"))
    , partnerLogo (Picture::fromDrawn (AuralisBinaryData::partnerlogo_apix,
                                       AuralisBinaryData::partnerlogo_apixSize,
                                       AuralisBinaryData::partnerlogo2x_apix,
                                       AuralisBinaryData::partnerlogo2x_apixSize))
    , poweredByLogo (Picture::fromEmbedded (AuralisBinaryData::poweredby_png,
                                            AuralisBinaryData::poweredby_pngSize,
                                            AuralisBinaryData::poweredby2x_png,
                                            AuralisBinaryData::poweredby2x_pngSize))
    , decoderLogo (Picture::fromEmbedded (AuralisBinaryData::decoderlogo_png,
                                          AuralisBinaryData::decoderlogo_pngSize,
                                          AuralisBinaryData::decoderlogo2x_png,
                                          AuralisBinaryData::decoderlogo2x_pngSize))
    , backArrow (Picture::fromEmbedded (AuralisBinaryData::backarrow_png,
                                        AuralisBinaryData::backarrow_pngSize,
                                        AuralisBinaryData::backarrow2x_png,
                                        AuralisBinaryData::backarrow2x_pngSize))
    , homePage (decoderLogo, partnerLogo, poweredByLogo, store)
    , startPage (decoderLogo, partnerLogo, poweredByLogo, backArrow, store)
    , personalizePage (decoderLogo, partnerLogo, poweredByLogo, backArrow, store)
    , profileLoadedPage (decoderLogo, partnerLogo, poweredByLogo, store)
    , updatesPage (decoderLogo, partnerLogo, poweredByLogo, backArrow, store)
{
    showFirstPage();
    installNavigation();
    setSize (startPage.getWidth(), startPage.getHeight());

    KeyboardFocusIndicator::watch (*this);
}

MainComponent::~MainComponent() = default;

juce::String MainComponent::computeDataFolder()
{
    auto folder = withTrailingSeparator (juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory).getFullPathName());
    folder = withTrailingSeparator (folder + AppConstants::dataFolderCommonFiles + juce::File::getSeparatorString() + AppConstants::dataFolderVendor);
    return withTrailingSeparator (folder + AppConstants::dataFolderProduct);
}

//==============================================================================
void MainComponent::showFirstPage()
{
    const auto names = store.getProfileNames();

    if (names.isEmpty())
    {
        startPage.firstRun = true;
        currentPage = &startPage;
    }
    else
    {
        auto index = store.getLastSelectedPreset();

        if (index < 0 || index >= store.numProfiles())
            index = 0;

        homePage.setCurrentProfile (names[index]);
        currentPage = &homePage;
    }

    addAndMakeVisible (currentPage);
}

void MainComponent::installNavigation()
{
    startPage.onNavigate = [this] (const juce::String& name, View view, const juce::Image& qrImage)
    {
        if (view == View::HomePage)
        {
            switchTo (startPage, homePage, name);
            return;
        }

        personalizePage.newProfile = true;
        personalizePage.setQrImage (qrImage);
        switchTo (startPage, personalizePage, name);
    };

    personalizePage.onNavigate = [this] (const juce::String& name, View view, const juce::Image&)
    {
        switchTo (personalizePage, view == View::HomePage ? static_cast<GradientBackgroundComponent&> (homePage) : profileLoadedPage, name);
    };

    profileLoadedPage.onNavigate = [this] (const juce::String& name, View, const juce::Image&)
    {
        switchTo (profileLoadedPage, homePage, name);
    };

    updatesPage.onNavigate = [this] (const juce::String& name, View, const juce::Image&)
    {
        switchTo (updatesPage, homePage, name);
    };

    homePage.onNavigate = [this] (const juce::String& name, View view, const juce::Image& qrImage)
    {
        if (view == View::PersonalizeYourAudio)
        {
            personalizePage.setQrImage (qrImage);
            personalizePage.newProfile = false;
            switchTo (homePage, personalizePage, name);
        }
        else if (view == View::Updates)
        {
            switchTo (homePage, updatesPage, name);
        }
        else
        {
            startPage.firstRun = false;
            switchTo (homePage, startPage, name);
        }
    };
}

void MainComponent::switchTo (GradientBackgroundComponent& from, GradientBackgroundComponent& to, const juce::String& name)
{
    // The destination takes on the profile (its flags and image are already
    // set), the page left is detached and hidden, which stops its timers, and
    // the destination's becoming visible starts its own work.
    to.setCurrentProfile (name);

    removeChildComponent (&from);
    from.setVisible (false);

    currentPage = &to;
    addAndMakeVisible (to);
    to.focusFirstInput();
}

void MainComponent::focusCurrentPage()
{
    if (currentPage != nullptr)
        currentPage->focusFirstInput();
}

std::unique_ptr<juce::AccessibilityHandler> MainComponent::createAccessibilityHandler()
{
    return createIgnoredAccessibilityHandler (*this);
}

void MainComponent::stopWorkers()
{
    JUCE_ASSERT_MESSAGE_THREAD

    // A close stops them, and so does the quit that follows it: once is
    // enough.
    if (std::exchange (workersStopped, true))
        return;

    // The timed pages could start an operation from a tick already queued;
    // the operations stopped below refuse to start again, and without their
    // timers the pages do not try.
    homePage.stopTimer();
    personalizePage.stopTimer();
    profileLoadedPage.stopTimer();

    OperationRegistry::stopAll();
}
