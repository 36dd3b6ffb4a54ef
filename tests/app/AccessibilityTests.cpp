#include "PageTour.h"

#include "ui/Announcer.h"
#include "ui/ReadingOrderTraverser.h"

#include <algorithm>

// The pages as a screen reader and a keyboard-only user meet them, walked
// generically: whatever controls a page has, each must be read with a role
// and a name, and Tab must reach each enabled one in reading order.

namespace
{
bool isControlRole (juce::AccessibilityRole role)
{
    using Role = juce::AccessibilityRole;
    return role == Role::button || role == Role::toggleButton || role == Role::radioButton || role == Role::comboBox
           || role == Role::editableText || role == Role::hyperlink || role == Role::slider;
}

juce::String describe (juce::Component* c)
{
    if (c == nullptr)
        return "nothing";

    const auto* handler = c->getAccessibilityHandler();
    const auto title = handler != nullptr ? handler->getTitle() : juce::String ("(not read)");
    return "\"" + title + "\" (" + typeid (*c).name() + ") at " + c->getScreenBounds().toString();
}

std::vector<std::string> describeAll (const std::vector<juce::Component*>& components)
{
    std::vector<std::string> result;

    for (auto* c : components)
        result.push_back (describe (c).toStdString());

    return result;
}

void forEachShowingDescendant (juce::Component& parent, const std::function<void (juce::Component&)>& visit)
{
    for (auto* child : parent.getChildren())
    {
        if (! child->isShowing())
            continue;

        visit (*child);
        forEachShowingDescendant (*child, visit);
    }
}

/** The order in which the eye reads the controls: lines from the top (a
    control belongs to a line when it reaches down into the line's first
    control), left to right within a line. */
std::vector<juce::Component*> inReadingOrder (std::vector<juce::Component*> controls)
{
    std::sort (controls.begin(), controls.end(), [] (auto* a, auto* b)
               { return a->getScreenY() < b->getScreenY(); });

    std::vector<std::vector<juce::Component*>> lines;

    for (auto* c : controls)
    {
        if (lines.empty() || c->getScreenY() >= lines.back().front()->getScreenBounds().getBottom())
            lines.emplace_back();

        lines.back().push_back (c);
    }

    std::vector<juce::Component*> result;

    for (auto& line : lines)
    {
        std::sort (line.begin(), line.end(), [] (auto* a, auto* b)
                   { return a->getScreenX() < b->getScreenX(); });
        result.insert (result.end(), line.begin(), line.end());
    }

    return result;
}
}

//==============================================================================
class PageAccess : public PageTour
{
protected:
    /** What a screen reader finds in the window: every element. */
    std::vector<juce::AccessibilityHandler*> readWindow()
    {
        render(); // pages settle what they show while they paint

        return UiTest::readAccessibilityTree (*window);
    }

    /** Reads the current page as a screen reader would and walks it with
        Tab and Shift+Tab: every element has a role, every control a name
        and, when enabled, the keyboard focus; nothing takes the focus unread;
        the page gave its first input the focus as it appeared; Tab and
        Shift+Tab go round the enabled controls in reading order. */
    void expectReadableAndWorkableByKeyboard (juce::Component* firstInput = nullptr)
    {
        auto& page = currentPage();
        SCOPED_TRACE (typeid (page).name());

        std::vector<juce::Component*> controls;

        for (auto* element : readWindow())
        {
            auto* c = &element->getComponent();
            EXPECT_NE (element->getRole(), juce::AccessibilityRole::unspecified) << describe (c) << " has no role";

            if (! isControlRole (element->getRole()))
                continue;

            controls.push_back (c);
            EXPECT_TRUE (element->getTitle().trim().isNotEmpty()) << describe (c) << " has no name";
            EXPECT_TRUE (! c->isEnabled() || c->getWantsKeyboardFocus()) << describe (c) << " takes no keyboard focus";
        }

        // Only a caption the page gives the focus as it appears may take it
        // without being a control.
        forEachShowingDescendant (page, [&controls] (juce::Component& c)
                                  {
                                      const auto isControl = std::find (controls.begin(), controls.end(), &c) != controls.end();
                                      EXPECT_TRUE (isControl || ! c.getWantsKeyboardFocus() || ! c.isEnabled() || ReadingOrderTraverser::isFocusedOnArrivalOnly (c))
                                          << describe (&c) << " takes the focus but is no control to a screen reader"; });

        std::vector<juce::Component*> enabled;
        std::copy_if (controls.begin(), controls.end(), std::back_inserter (enabled), [] (auto* c)
                      { return c->isEnabled(); });
        auto expected = inReadingOrder (enabled);
        ASSERT_FALSE (expected.empty());

        auto* focused = juce::Component::getCurrentlyFocusedComponent();
        ASSERT_NE (focused, nullptr);

        if (firstInput != nullptr)
        {
            ASSERT_EQ (describe (focused), describe (firstInput));
        }

        // A caption that holds the focus as the page appears is read in its
        // place and left for the control after it, which Tab then starts
        // from; no Tab comes back to it.
        if (std::find (expected.begin(), expected.end(), focused) == expected.end())
        {
            ASSERT_TRUE (ReadingOrderTraverser::isFocusedOnArrivalOnly (*focused)) << describe (focused) << " has the focus";
            auto placed = expected;
            placed.push_back (focused);
            placed = inReadingOrder (placed);
            const auto at = std::find (placed.begin(), placed.end(), focused);
            auto* before = at == placed.begin() ? placed.back() : *std::prev (at);
            auto* after = std::next (at) == placed.end() ? placed.front() : *std::next (at);

            window->press (UiTest::shiftTab);
            EXPECT_EQ (describe (juce::Component::getCurrentlyFocusedComponent()), describe (before)) << "Shift+Tab from the caption";
            page.focusFirstInput();
            window->press (UiTest::tab);
            ASSERT_EQ (describe (juce::Component::getCurrentlyFocusedComponent()), describe (after)) << "Tab from the caption";
            focused = after;
        }

        // Round the page from the first input, and back.
        const auto start = std::find (expected.begin(), expected.end(), focused);
        ASSERT_NE (start, expected.end());
        std::rotate (expected.begin(), start, expected.end());
        expected.push_back (focused);

        const auto walk = [this, &expected] (const juce::KeyPress& key)
        {
            std::vector<juce::Component*> visited { juce::Component::getCurrentlyFocusedComponent() };

            for (size_t i = 1; i < expected.size(); ++i)
            {
                window->press (key);
                visited.push_back (juce::Component::getCurrentlyFocusedComponent());
            }

            return visited;
        };

        EXPECT_EQ (describeAll (walk (UiTest::tab)), describeAll (expected)) << "Tab";

        std::reverse (expected.begin(), expected.end());
        EXPECT_EQ (describeAll (walk (UiTest::shiftTab)), describeAll (expected)) << "Shift+Tab";
    }

    /** The element a screen reader finds with that title, if any. */
    juce::AccessibilityHandler* findElement (const juce::String& title)
    {
        for (auto* element : readWindow())
            if (element->getTitle() == title)
                return element;

        return nullptr;
    }
};

TEST_F (PageAccess, OnboardingPagesCanBeReadAndWorkedByKeyboard)
{
    auto fresh = statusReply;
    fresh.hrtfRequested = 0;
    answerStatusWith (fresh);

    open();
    auto& entry = main().getStartPage().getUserNameEditor().editor;
    expectReadableAndWorkableByKeyboard (&entry);

    main().getStore().mergeStatusReply (profile, juce::JSON::parse (fresh.toJson()));
    startPageToPersonalisePage();
    expectReadableAndWorkableByKeyboard();

    // The QR code is read as a picture, described.
    auto* qrCode = findElement ("QR Code");
    ASSERT_NE (qrCode, nullptr);
    EXPECT_EQ (qrCode->getRole(), juce::AccessibilityRole::image);
    EXPECT_TRUE (qrCode->getDescription().contains ("scan"));

    personalisePageToProfileLoadedPage();
    expectReadableAndWorkableByKeyboard();

    profileLoadedPageToHome();
    expectReadableAndWorkableByKeyboard();
}

TEST_F (PageAccess, AccountPagesCanBeReadAndWorkedByKeyboard)
{
    openWithProfile();
    expectReadableAndWorkableByKeyboard();

    // The busy overlay's message is read while it is shown.
    currentPage().overlayMessage = AccountTexts::generatingQrCodeMessage;
    busy = true;
    EXPECT_NE (findElement (AccountTexts::generatingQrCodeMessage), nullptr);
    busy = false;
    EXPECT_EQ (findElement (AccountTexts::generatingQrCodeMessage), nullptr);

    homeToUpdatesPage();
    expectReadableAndWorkableByKeyboard(); // nothing to update: both buttons disabled

    updatesPageToHome();
    auto reply = statusReply;
    reply.software = StatusReply::Software();
    reply.profileUpdate = StatusReply::ProfileUpdate();
    answerStatusWith (reply);
    homeToUpdatesPage();
    expectReadableAndWorkableByKeyboard();

    updatesPageToHome();
    homeToStartPage();
    auto& entry = main().getStartPage().getUserNameEditor().editor;
    expectReadableAndWorkableByKeyboard (&entry); // the back arrow comes first, the entry has the focus
}

TEST_F (PageAccess, ChangesThatMatterAreAnnouncedOncePerChange)
{
    std::vector<juce::String> heard;
    const Announcer::ScopedListener listener ([&heard] (const juce::String& text)
                                              { heard.push_back (text); });
    openWithProfile();
    homeToStartPage();

    // The verdict on the name, however often the page paints it.
    for (const auto& name : { profile, juce::String ("Zoe"), juce::String ("Zoey"), juce::String() })
    {
        enterName (name);
        render();
        render();
    }

    main().getStore().mergeStatusReply (profile, juce::JSON::parse (statusReply.toJson()));
    startPageToPersonalisePage();
    personalisePageToProfileLoadedPage();

    auto reply = statusReply;
    reply.software = StatusReply::Software();
    answerStatusWith (reply);
    profileLoadedPageToHome();
    render();

    homeToUpdatesPage();
    render();
    render();

    const std::vector<juce::String> expected { "This Username is already registered on your device!",
                                               "Valid Username",
                                               "Not a valid Username, please try again!",
                                               "Congratulations, you are all set!",
                                               AccountTexts::updatesAvailableText,
                                               AccountTexts::updatesAvailableText };
    EXPECT_EQ (heard, expected);
}
