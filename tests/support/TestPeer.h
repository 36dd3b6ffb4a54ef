#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A window peer of the test's own, which always counts as the focused
    window, draws nothing on any screen and lies where no pointer reaches.

    Keyboard focus needs a focused window. ctest runs tests side by side on one
    Xvfb, where a real window's focus could be taken by another test's window
    at any moment; this peer keeps it for the whole test. Keys reach the
    components through handleKeyPress as the system's would: the focused
    component first, then its parents, and Tab moves the focus when none of
    them used it.
*/
class TestPeer : public juce::ComponentPeer
{
public:
    TestPeer (juce::Component& component, int styleFlags);

    void* getNativeHandle() const override { return nullptr; }
    void setVisible (bool) override {}
    void setTitle (const juce::String&) override {}
    void setBounds (const juce::Rectangle<int>& newBounds, bool) override;
    juce::Rectangle<int> getBounds() const override { return bounds; }
    juce::Point<float> localToGlobal (juce::Point<float> relativePosition) override;
    juce::Point<float> globalToLocal (juce::Point<float> screenPosition) override;
    using juce::ComponentPeer::globalToLocal;
    using juce::ComponentPeer::localToGlobal;
    void setMinimised (bool) override {}
    bool isMinimised() const override { return false; }
    void setFullScreen (bool) override {}
    bool isFullScreen() const override { return false; }
    void setIcon (const juce::Image&) override {}
    bool contains (juce::Point<int> localPosition, bool) const override;
    OptionalBorderSize getFrameSizeIfPresent() const override { return OptionalBorderSize { juce::BorderSize<int>() }; }
    juce::BorderSize<int> getFrameSize() const override { return {}; }
    bool setAlwaysOnTop (bool) override { return true; }
    void toFront (bool) override {}
    void toBehind (juce::ComponentPeer*) override {}
    bool isFocused() const override { return true; }
    void grabFocus() override {}
    void textInputRequired (juce::Point<int>, juce::TextInputTarget&) override {}
    void repaint (const juce::Rectangle<int>&) override {}
    void performAnyPendingRepaintsNow() override {}
    void setAlpha (float) override {}
    juce::StringArray getAvailableRenderingEngines() override { return { "Software Renderer" }; }

private:
    juce::Rectangle<int> bounds;
};

//==============================================================================
/** A window type that goes on the desktop with a TestPeer: for example
    OnTestPeer<MainWindow>, or OnTestPeer<juce::Component> as a host for a
    widget. Made visible, it is on the desktop and showing.
*/
template <typename WindowType>
class OnTestPeer : public WindowType
{
public:
    using WindowType::WindowType;

    ~OnTestPeer() override { juce::Component::removeFromDesktop(); }

    /** The key as the system delivers it to the focused window. */
    bool press (const juce::KeyPress& key)
    {
        auto* peer = juce::Component::getPeer();
        return peer != nullptr && peer->handleKeyPress (key);
    }

    /** Types the text character by character into whatever has the focus. */
    void type (const juce::String& text)
    {
        for (auto c : text)
            press (juce::KeyPress (0, juce::ModifierKeys(), c));
    }

protected:
    juce::ComponentPeer* createNewPeer (int styleFlags, void*) override
    {
        return new TestPeer (*this, styleFlags);
    }
};

//==============================================================================
namespace UiTest
{
inline const juce::KeyPress tab { juce::KeyPress::tabKey };
inline const juce::KeyPress shiftTab { juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier, 0 };
inline const juce::KeyPress returnKey { juce::KeyPress::returnKey };
inline const juce::KeyPress space { juce::KeyPress::spaceKey, juce::ModifierKeys(), ' ' };
}
