#include "StatusLabel.h"

std::unique_ptr<juce::ComponentTraverser> StatusLabel::createKeyboardFocusTraverser()
{
    // The label never edits, so it has no editor of its own to hand the focus to.
    if (auto* parent = getParentComponent())
        return parent->createKeyboardFocusTraverser();

    return juce::Label::createKeyboardFocusTraverser();
}

void StatusLabel::textWasChanged()
{
    // The framework calls this for a text that differs from the one shown,
    // with or without a change notification.
    announcer.announceChange (getText());
}
