#include "KeyboardFocusIndicator.h"

#include "Palette.h"

namespace
{
bool keyboardInUse = false;

// Sees every key that the watched windows' components leave unused, before
// the window moves the focus on a Tab, and every mouse press in them.
struct Watcher : public juce::KeyListener,
                 public juce::MouseListener
{
    bool keyPressed (const juce::KeyPress& key, juce::Component*) override
    {
        if (key.isKeyCode (juce::KeyPress::tabKey))
        {
            KeyboardFocusIndicator::setKeyboardInUse (true);
            return false;
        }

        if (key.isKeyCode (juce::KeyPress::spaceKey))
        {
            if (auto* button = dynamic_cast<juce::Button*> (juce::Component::getCurrentlyFocusedComponent()))
            {
                if (button->isEnabled())
                {
                    KeyboardFocusIndicator::setKeyboardInUse (true);
                    button->triggerClick();
                    return true;
                }
            }
        }

        return false;
    }

    void mouseDown (const juce::MouseEvent&) override
    {
        KeyboardFocusIndicator::setKeyboardInUse (false);
    }
};

Watcher& watcher()
{
    static Watcher instance;
    return instance;
}
}

//==============================================================================
bool KeyboardFocusIndicator::isShownOn (const juce::Component& component)
{
    return keyboardInUse && component.hasKeyboardFocus (false);
}

bool KeyboardFocusIndicator::isKeyboardInUse()
{
    return keyboardInUse;
}

void KeyboardFocusIndicator::setKeyboardInUse (bool inUse)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (keyboardInUse == inUse)
        return;

    keyboardInUse = inUse;

    // The indication may be drawn around the control or by its parent.
    if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
    {
        if (auto* parent = focused->getParentComponent())
            parent->repaint();
        else
            focused->repaint();
    }
}

void KeyboardFocusIndicator::watch (juce::Component& window)
{
    JUCE_ASSERT_MESSAGE_THREAD

    window.addKeyListener (&watcher());
    window.addMouseListener (&watcher(), true);
}

bool KeyboardFocusIndicator::isClickKey (const juce::KeyPress& key)
{
    return key.isKeyCode (juce::KeyPress::returnKey) || key.isKeyCode (juce::KeyPress::spaceKey);
}

void KeyboardFocusIndicator::drawFocusFrame (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize)
{
    g.setColour (Palette::colour (Palette::white));
    g.drawRoundedRectangle (area.reduced (0.5f), cornerSize, 1.0f);
}
