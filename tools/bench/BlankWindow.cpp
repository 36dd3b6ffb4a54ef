// The start-up benchmark's yardstick: a blank JUCE window of the program's
// size, built the same way as the program (the same framework library, flags
// and build type) but without any of the product. It opens the same kind of
// window (native title bar, minimise and close buttons, not resizable,
// centred, single instance) and fills it with one colour.

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
constexpr int windowWidth = 540;
constexpr int windowHeight = 565;
const juce::Colour fillColour (0xff2a2a2a);

class BlankContent : public juce::Component
{
public:
    BlankContent() { setSize (windowWidth, windowHeight); }

    void paint (juce::Graphics& g) override { g.fillAll (fillColour); }
};

class BlankWindow : public juce::DocumentWindow
{
public:
    explicit BlankWindow (const juce::String& name)
        : DocumentWindow (name, juce::Colours::black, DocumentWindow::minimiseButton | DocumentWindow::closeButton, true)
    {
        setUsingNativeTitleBar (true);
        setContentOwned (new BlankContent(), true);
        setResizable (false, false);
        centreWithSize (getWidth(), getHeight());
    }

    void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
};

class BlankWindowApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Auralis Blank Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<BlankWindow> (getApplicationName());
        window->setVisible (true);
    }

    void shutdown() override { window.reset(); }

private:
    std::unique_ptr<BlankWindow> window;
};
}

START_JUCE_APPLICATION (BlankWindowApplication)
