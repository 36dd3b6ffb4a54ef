#pragma once

#include "MainComponent.h"
#include "PendingWindowEvents.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The one top-level window: native title bar with minimise and close, a
    fixed 540 x 565 client area showing the main component. Closing is refused
    while a service operation runs; otherwise the bank is saved, any worker
    still running is stopped and the program quits. */
class MainWindow : public juce::DocumentWindow
{
public:
    explicit MainWindow (const juce::String& name);

    /** For tests: the same window on a given shared data folder. */
    MainWindow (const juce::String& name, const juce::File& dataFolder);

    ~MainWindow() override;

    void closeButtonPressed() override;

    /** The window itself took the focus (on its first activation, or when
        the control that had it is gone): the page's first input gets it. */
    void focusGained (FocusChangeType cause) override;

    MainComponent& getMainComponent() noexcept { return mainComponent; }

    /** What a permitted close does after saving; by default asks the
        application to quit. Tests replace it. */
    std::function<void()> onQuitRequested;

private:
    //==============================================================================
    void setUpWindow();

    MainComponent mainComponent;
    PendingWindowEvents pendingWindowEvents { *this };
    bool passingFocusOn = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
};
