#pragma once

#include "alerts/IMAlertWindowLNF.h"
#include "MainLoopWakeUp.h"
#include "MainWindow.h"
#include "RepaintFallback.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

//==============================================================================
/** The application object: one instance only, one main window, and the
    app-wide look that outlives every component. */
class KorvaneOnboardingApplication : public juce::JUCEApplication
{
public:
    KorvaneOnboardingApplication();
    ~KorvaneOnboardingApplication() override;

    //==============================================================================
    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;
    void suspended() override;
    void resumed() override;
    void unhandledException (const std::exception*, const juce::String& sourceFilename, int lineNumber) override;
    void memoryWarningReceived() override;
    bool backButtonPressed() override;

private:
    //==============================================================================
    std::unique_ptr<MainWindow> mainWindow;
    IMAlertWindowLNF lookAndFeel;
    RepaintFallback repaintFallback;
    MainLoopWakeUp mainLoopWakeUp;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KorvaneOnboardingApplication)
};
