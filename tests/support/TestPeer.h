#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** A window peer of the test's own, which always counts as the focused
    window, draws nothing on any screen and lies where no pointer reaches:
    only the clicks a test sends it (OnTestPeer::click) reach its components,
    never the real pointer of the shared display nor a move the framework
    fakes from wherever the pointer was last seen.

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
    TestPeer (juce::Component& component, int flags);

    /** Not a window of the system: only something that is not null, which
        the framework asks for before it makes accessibility handlers. */
    void* getNativeHandle() const override { return const_cast<TestPeer*> (this); }
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

    /** Set while a test's own mouse events are delivered. */
    bool takesThePointer = false;

private:
    juce::Rectangle<int> bounds;
};

//==============================================================================
/** A window type that goes on the desktop with a TestPeer: for example
    OnTestPeer<MainWindow> (made visible, it shows), or
    OnTestPeer<juce::Component> as a host for widgets (addToDesktop, then
    setVisible).
*/
template <typename WindowType>
class OnTestPeer : public WindowType
{
public:
    template <typename... Arguments>
    explicit OnTestPeer (Arguments&&... arguments)
        : WindowType (std::forward<Arguments> (arguments)...)
    {
        // A window that put itself on the desktop while it was built did so
        // with a real window of the system: it goes back on with a TestPeer.
        if (auto* peer = juce::Component::getPeer())
        {
            const auto styleFlags = peer->getStyleFlags();
            juce::Component::removeFromDesktop();
            juce::Component::addToDesktop (styleFlags);
        }
    }

    ~OnTestPeer() override { juce::Component::removeFromDesktop(); }

    /** The key as the system delivers it to the focused window. */
    bool press (const juce::KeyPress& key)
    {
        auto* peer = juce::Component::getPeer();
        return peer != nullptr && peer->handleKeyPress (key);
    }

    /** A left click at a point of the window, as the system delivers it. */
    void click (juce::Point<float> position)
    {
        auto* peer = dynamic_cast<TestPeer*> (juce::Component::getPeer());

        if (peer == nullptr)
            return;

        const juce::ScopedValueSetter<bool> pointer (peer->takesThePointer, true);

        for (const auto buttons : { juce::ModifierKeys::leftButtonModifier, juce::ModifierKeys::noModifiers })
            peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                    position,
                                    juce::ModifierKeys (buttons),
                                    juce::MouseInputSource::defaultPressure,
                                    juce::MouseInputSource::defaultOrientation,
                                    juce::Time::currentTimeMillis());
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
