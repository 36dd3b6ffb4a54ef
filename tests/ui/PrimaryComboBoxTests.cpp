#include "support/Ocr.h"
#include "support/UiTestHelpers.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/PrimaryComboBox.h"

using UiTest::coloursNear;

TEST (PrimaryComboBox, DrawsItsFrameAndKeepsItsFirstArrowAfterAResize)
{
    PrimaryComboBox box ("Profiles");
    box.addItem ("Ann", 1);
    box.setSelectedId (1, juce::dontSendNotification);
    box.setSize (200, 30);

    EXPECT_TRUE (box.comboLook.arrowPath.isEmpty());
    auto image = UiTest::snapshot (box);
    ASSERT_FALSE (box.comboLook.arrowPath.isEmpty());
    const auto firstArrow = box.comboLook.arrowPath.getBounds();

    // u = 10, x1 = 200 - 30 - 5 + 10 = 175: the triangle (175, 13) (185, 13) (180, 18).
    EXPECT_NEAR (firstArrow.getX(), 175.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getRight(), 185.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getY(), 13.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getBottom(), 18.0f, 0.01f);
    EXPECT_TRUE (coloursNear (image.getPixelAt (180, 14), juce::Colours::white));

    // Dark fill, red frame, red divider in front of the arrow.
    EXPECT_TRUE (coloursNear (image.getPixelAt (100, 5), Palette::colour (Palette::darkSurface)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (165, 15), Palette::colour (Palette::redAccent)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (100, 1), Palette::colour (Palette::redAccent)));

    box.setSize (300, 45);
    image = UiTest::snapshot (box);
    EXPECT_EQ (box.comboLook.arrowPath.getBounds(), firstArrow);
    EXPECT_TRUE (coloursNear (image.getPixelAt (180, 14), juce::Colours::white));
}

TEST (PrimaryComboBox, TextAreaAndPopupLineUpInsideTheFrame)
{
    PrimaryComboBox box ("Profiles");
    box.setBounds (40, 50, 200, 40);

    juce::Label* label = nullptr;

    for (auto* child : box.getChildren())
        if (auto* l = dynamic_cast<juce::Label*> (child))
            label = l;

    ASSERT_NE (label, nullptr);
    box.resized();

    // h / 4 + 1 = 11: (11, 1, 200 - 40 - 11 - 2, 38).
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (11, 1, 147, 38));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), regularFont (22.0f).getHeight());

    const auto options = box.comboLook.getOptionsForComboBoxPopupMenu (box, *label);
    const auto screen = box.getScreenBounds();
    EXPECT_EQ (options.getTargetComponent(), &box);
    EXPECT_EQ (options.getMinimumWidth(), 192);
    EXPECT_EQ (options.getMaximumNumColumns(), 1);
    EXPECT_EQ (options.getStandardItemHeight(), 38);
    EXPECT_EQ (options.getTargetScreenArea(), screen.withTrimmedLeft (4).withTrimmedRight (4));
}

TEST (PrimaryComboBox, ItsListShowsNamesInAnyScriptAsWritten)
{
    // The list's items, drawn as the menu draws them, read back; a Latin
    // item is drawn by the framework as before.
    PrimaryComboBox box ("Profiles");
    const auto drawItem = [&box] (const juce::String& text)
    {
        juce::Image image (juce::Image::ARGB, 300, 40, true);
        juce::Graphics g (image);
        box.comboLook.drawPopupMenuBackground (g, 300, 40);
        box.comboLook.drawPopupMenuItem (g, image.getBounds(), false, true, false, false, false, text, {}, nullptr, nullptr);
        return image;
    };

    for (const auto& [name, language] : { std::pair { "李雷", "chi_sim" }, std::pair { "محمد", "ara" }, std::pair { "अर्जुन", "hin" } })
    {
        ASSERT_TRUE (Ocr::isAvailable (language));
        const auto text = juce::String::fromUTF8 (name);
        EXPECT_TRUE (Ocr::readsAs (drawItem (text), language, text)) << name << " read as " << Ocr::readLine (drawItem (text), language);
    }

    juce::Image framework (juce::Image::ARGB, 300, 40, true);
    {
        juce::Graphics g (framework);
        box.comboLook.drawPopupMenuBackground (g, 300, 40);
        g.setColour (juce::Colours::lightgrey);
        g.setFont (regularFont (22.0f));
        g.drawFittedText ("Ann", 15, 8, 270, 24, juce::Justification::centredLeft, 1, 0.0f);
    }
    EXPECT_EQ (UiTest::countDifferingPixels (drawItem ("Ann"), framework), 0);
}
