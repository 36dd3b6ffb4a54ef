#pragma once

#include "service/DownloadImageThread.h"
#include "service/ServiceOperation.h"
#include "store/PresetStore.h"
#include "ui/ButtonComponent.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/TextRow.h"

#include <vector>

//==============================================================================
/** Closes onboarding: congratulates, shows the decoder plug-in picture and
    leads home.

    The picture is fetched afresh each time the page is shown. One that
    arrives within six ticks of the one-second timer is shown; one that fails,
    or has not arrived by the sixth tick, gives way to the picture compiled
    into the program. HOME does nothing, and the window cannot be closed,
    until the picture is settled.
*/
class ProfileLoadedComponent : public GradientBackgroundComponent,
                               public juce::Timer
{
public:
    ProfileLoadedComponent (const Picture& decoderLogo,
                            const Picture& partnerLogo,
                            const Picture& poweredByLogo,
                            PresetStore& store);

    //==============================================================================
    void setCurrentProfile (const juce::String& name) override;
    void visibilityChanged() override;
    void paint (juce::Graphics& g) override;

    /** "HOME", the page's one way on (it does nothing until the picture is
        settled). */
    juce::Component* getFirstInput() override;

    /** "Congratulations, you are all set!" */
    juce::Component* getMainInformation() override;

    /** One tick since the page became visible (every 1000 ms while shown). */
    void timerCallback() override;

    /** The picture download's result, on the message thread. */
    void onScreenshotDownloaded (bool success, const juce::Image& picture);

    //==============================================================================
    /** The link to the set-up video, centred in its area. */
    class CustomArea : public juce::Component
    {
    public:
        CustomArea();

        void resized() override;

        /** Screen readers see the link, not the area around it. */
        std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

        juce::Font font;
        juce::String text;
        juce::HyperlinkButton learnHowLink;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomArea)
    };

    //==============================================================================
    /** The page's controls and state, for its owner and for tests. */
    ButtonComponent& getHomeButton() noexcept { return homeButton; }
    CustomArea& getLearnHowArea() noexcept { return learnHowArea; }
    const juce::Image& getScreenshot() const noexcept { return screenshot; }
    const juce::Image& getFallbackScreenshot() { return getEmbeddedScreenshot(); }
    bool isDownloadingScreenshot() const noexcept { return downloadingScreenshot; }
    int getSecondsVisible() const noexcept { return secondsVisible; }

    /** The picture's download, for tests. */
    const DownloadImageThread& getScreenshotWorker() noexcept { return screenshotDownload.getWorker(); }

private:
    //==============================================================================
    void home();
    void settleScreenshot (const juce::Image& picture);
    const juce::Image& getEmbeddedScreenshot();

    //==============================================================================
    PresetStore& store;
    juce::Path validIcon;
    juce::Image fallbackScreenshot;
    ButtonComponent homeButton;

    /** The page waits for its picture, with the close gate shut, from each
        showing until the picture is settled (arrived, refused, or the
        deadline passed); a download still under way from an earlier showing
        serves the next one. */
    ServiceOperation<DownloadImageThread> screenshotDownload { OperationTerms {}.joiningRunningWork() };

    juce::Image screenshot;
    bool downloadingScreenshot = false;
    int secondsVisible = 0;
    std::vector<TextRow> textRows;
    AccessibleCaption* congratulationsCaption = nullptr;
    CustomArea learnHowArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProfileLoadedComponent)
};
