#include "support/Ocr.h"
#include "support/SampleNames.h"
#include "ui/Fonts.h"
#include "ui/text/FallbackFaces.h"
#include "ui/text/TextLine.h"

#include <gtest/gtest.h>

// A name laid out as its owner writes it: read back from the pixels by the
// OCR engine in its script's language, and what goes wrong (nothing drawn,
// letters unjoined, the wrong order) shown to fail that reading.

namespace
{
const juce::Colour ground (0xff191919);

juce::Image drawnOnGround (const std::function<void (juce::Graphics&)>& drawing, int width = 400, int height = 40)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (ground);
    drawing (g);
    return image;
}

juce::Image drawn (const TextLine& line)
{
    return drawnOnGround ([&line] (juce::Graphics& g)
                          { line.draw (g, 10.0f, 10.0f + line.getAscent(), juce::Colours::white); });
}

/** Each character laid out on its own, left to right in the order written:
    no joining, no clusters, no direction. */
juce::Image drawnLetterByLetter (const juce::String& name, const juce::Font& font)
{
    return drawnOnGround ([&] (juce::Graphics& g)
                          {
                              auto x = 10.0f;

                              for (int i = 0; i < name.length(); ++i)
                              {
                                  const TextLine letter (name.substring (i, i + 1), font);
                                  letter.draw (g, x, 10.0f + letter.getAscent(), juce::Colours::white);
                                  x += letter.getWidth();
                              } });
}

int litPixels (const juce::Image& image)
{
    int lit = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getBrightness() > 0.5f)
                ++lit;

    return lit;
}

juce::String reversed (const juce::String& text)
{
    juce::String result;

    for (int i = text.length(); --i >= 0;)
        result << juce::String::charToString (text[i]);

    return result;
}

const auto nameFont = []
{ return regularFont (22.0f); };
}

//==============================================================================
TEST (TextLine, EverySampleNameReadsBackAsWritten)
{
    for (const auto& sample : SampleNames::all())
    {
        SCOPED_TRACE (sample.script);
        const TextLine line (sample.name, nameFont());
        const auto image = drawn (line);

        EXPECT_GT (line.getWidth(), 10.0f);
        EXPECT_GT (litPixels (image), 40);

        if (sample.language.isEmpty())
        {
            EXPECT_TRUE (SampleNames::hasColouredPixels (image));
            continue;
        }

        if (! Ocr::isAvailable (sample.language))
        {
            ADD_FAILURE() << "no OCR language data " << sample.language << " (scripts/setup.sh installs it)";
            continue;
        }

        EXPECT_TRUE (Ocr::readsAs (image, sample.language, sample.name))
            << "read " << Ocr::readLine (image, sample.language) << " for " << sample.name;
    }
}

TEST (TextLine, NamesDrawnWronglyFailTheReading)
{
    const auto arabic = juce::String::fromUTF8 ("محمد");
    const auto hebrew = juce::String::fromUTF8 ("שרה");
    const auto devanagari = juce::String::fromUTF8 ("अर्जुन");
    const auto han = juce::String::fromUTF8 ("李雷");

    ASSERT_TRUE (Ocr::isAvailable ("ara") && Ocr::isAvailable ("heb") && Ocr::isAvailable ("hin") && Ocr::isAvailable ("chi_sim"));

    // As the framework draws what the embedded face lacks: nothing.
    const auto nothing = drawnOnGround ([&han] (juce::Graphics& g)
                                        {
                                            g.setColour (juce::Colours::white);
                                            g.setFont (nameFont());
                                            g.drawText (han, 10, 0, 380, 40, juce::Justification::centredLeft); });
    EXPECT_EQ (litPixels (nothing), 0);
    EXPECT_FALSE (Ocr::readsAs (nothing, "chi_sim", han));

    // Letter by letter, left to right: Arabic unjoined and reversed, Hebrew
    // reversed, Devanagari without its conjunct and its vowel sign apart.
    EXPECT_FALSE (Ocr::readsAs (drawnLetterByLetter (arabic, nameFont()), "ara", arabic));
    EXPECT_FALSE (Ocr::readsAs (drawnLetterByLetter (hebrew, nameFont()), "heb", hebrew));
    EXPECT_FALSE (Ocr::readsAs (drawnLetterByLetter (devanagari, nameFont()), "hin", devanagari));

    // Shaped but in the wrong order.
    EXPECT_FALSE (Ocr::readsAs (drawn (TextLine (reversed (hebrew), nameFont())), "heb", hebrew));
}

TEST (TextLine, TextTheEmbeddedFacesDrawAsWrittenStaysWithTheFramework)
{
    const auto font = nameFont();

    for (const auto* name : { "Ann", "Zoe", "Ζωή", "Людмила", "O'Brien-Smith 2", "Ærøskøbing" })
        EXPECT_TRUE (TextLine::frameworkDrawsAsWritten (juce::String::fromUTF8 (name), font)) << name;

    for (const auto* name : { "李雷", "محمد", "Rene\xcc\x81"
                                              "e",
                              "a\tb",
                              "Ann \xe2\x80\xae",
                              "x\xe2\x80\x8dy" })
        EXPECT_FALSE (TextLine::frameworkDrawsAsWritten (juce::String::fromUTF8 (name), font)) << name;
}

//==============================================================================
TEST (TextLine, RightToLeftAndMixedNamesPlaceTheCaretInReadingOrder)
{
    const TextLine hebrew (juce::String::fromUTF8 ("שרה"), nameFont());

    ASSERT_TRUE (hebrew.isRightToLeft());
    EXPECT_NEAR (hebrew.caretX (0), hebrew.getWidth(), 0.5f); // the start is on the right
    EXPECT_NEAR (hebrew.caretX (3), 0.0f, 0.5f);
    EXPECT_GT (hebrew.caretX (1), hebrew.caretX (2));

    // Left moves on through the text, Right back; the edges hold.
    EXPECT_EQ (hebrew.visualNeighbour (0, false), 1);
    EXPECT_EQ (hebrew.visualNeighbour (1, true), 0);
    EXPECT_EQ (hebrew.visualNeighbour (0, true), 0);
    EXPECT_EQ (hebrew.visualNeighbour (3, false), 3);
    EXPECT_EQ (hebrew.indexAt (hebrew.getWidth() + 5.0f), 0);
    EXPECT_EQ (hebrew.indexAt (-5.0f), 3);

    // A Latin line with a Hebrew name in it: the name's run reads right to
    // left inside the left-to-right line, and the text after it stays after.
    const auto mixedText = juce::String::fromUTF8 ("Ann שרה Lee");
    const TextLine mixed (mixedText, nameFont());

    ASSERT_FALSE (mixed.isRightToLeft());
    EXPECT_LT (mixed.caretX (3), mixed.caretX (4)); // "Ann" then the blank
    EXPECT_GT (mixed.caretX (5), mixed.caretX (6)); // inside the name: leftwards
    EXPECT_GT (mixed.caretX (9), mixed.caretX (5)); // "Lee" after the name
    EXPECT_NEAR (mixed.caretX (mixedText.length()), mixed.getWidth(), 0.5f);

    // Right, pressed again and again from the start, moves right every time
    // and reaches the end of the line.
    int index = 0, steps = 0;

    for (; index != mixedText.length() && steps < 40; ++steps)
    {
        const auto next = mixed.visualNeighbour (index, true);
        ASSERT_GT (mixed.caretX (next), mixed.caretX (index) - 0.5f) << "from " << index;
        ASSERT_NE (next, index) << "stuck at " << index;
        index = next;
    }

    EXPECT_EQ (index, mixedText.length());
}

TEST (TextLine, DeletionTakesWholeGraphemeClusters)
{
    struct Case
    {
        const char* text;
        int end, expectedStart;
    };

    for (const auto& c : { Case { "Rene\xcc\x81", 5, 3 }, // e + combining acute
                           Case { "Mia \xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7", 7, 4 }, // woman ZWJ girl
                           Case { "\xf0\x9f\x87\xac\xf0\x9f\x87\xa7", 2, 0 }, // a flag
                           Case { "\xe0\xa4\x85\xe0\xa4\xb0\xe0\xa5\x8d", 3, 1 } }) // र + virama
    {
        const TextLine line (juce::String::fromUTF8 (c.text), nameFont());
        EXPECT_EQ (line.clusterStartBefore (c.end), c.expectedStart) << c.text;
        EXPECT_EQ (line.clusterEndAfter (c.expectedStart), c.end) << c.text;
    }
}

//==============================================================================
TEST (TextLine, HostileNamesStayInTheirLineAndLayOutQuickly)
{
    const auto font = nameFont();
    juce::String stackedMarks ("a");

    for (int i = 0; i < 20; ++i)
        stackedMarks << juce::String::charToString (0x0301);

    juce::String pasted;

    while (pasted.length() < 10000)
        pasted << juce::String::fromUTF8 ("李雷 محمد Ann \xe2\x80\xae");

    const juce::String hostile[] = {
        pasted,
        juce::String::fromUTF8 ("Ann\tLee\nSmith\r\x01"),
        juce::String::fromUTF8 ("a\xe2\x80\x8d\xe2\x80\x8d\xe2\x80\x8d"
                                "b\xe2\x80\x8c"),
        stackedMarks,
        juce::String::charToString (0x0378) + juce::String::charToString (0xe000) + juce::String::charToString (0x10ffff),
        juce::String::fromUTF8 ("\xe2\x80\xae"
                                "Ann"), // right-to-left override, never closed
        juce::String::fromUTF8 ("\xe2\x81\xa6"
                                "Ann \xd7\xa9"), // left-to-right isolate, never closed
    };

    for (const auto& text : hostile)
    {
        const auto started = juce::Time::getMillisecondCounterHiRes();
        const TextLine line (text, font);
        const auto laidOut = juce::Time::getMillisecondCounterHiRes() - started;

        EXPECT_LT (laidOut, 500.0) << text.substring (0, 20);
        EXPECT_GE (line.getWidth(), 0.0f);
        EXPECT_LE (line.caretX (line.length()), line.getWidth() + 0.5f);

        // Drawn into a box of the entry's size: every stop inside the line,
        // and a paint well within a frame whatever the line's length.
        juce::Image box (juce::Image::ARGB, 350, 30, true);
        juce::Graphics g (box);
        auto fastest = 1.0e9;

        for (int paint = 0; paint < 3; ++paint)
        {
            const auto paintStarted = juce::Time::getMillisecondCounterHiRes();
            line.drawFitted (g, box.getBounds().toFloat(), juce::Justification::centredLeft, juce::Colours::white);
            fastest = juce::jmin (fastest, juce::Time::getMillisecondCounterHiRes() - paintStarted);
        }

        EXPECT_LT (fastest, 16.0) << text.substring (0, 20);

        for (int index = 0; index <= line.length(); index += juce::jmax (1, line.length() / 50))
        {
            EXPECT_GE (line.caretX (index), 0.0f);
            EXPECT_LE (line.caretX (index), line.getWidth() + 0.5f);
        }
    }
}

TEST (TextLine, AnOverrideInsideANameCannotReorderTheTextAroundIt)
{
    // The name is laid out on its own: whatever its controls say, it begins
    // and ends within its own line, and the Latin text of the other lines
    // keeps its order.
    const auto font = nameFont();
    const TextLine before ("Logged in as  ", font);
    const TextLine name (juce::String::fromUTF8 ("\xe2\x80\xae"
                                                 "Ann Lee"),
                         font);

    EXPECT_FALSE (before.isRightToLeft());
    EXPECT_LT (before.caretX (0), before.caretX (1));

    // Overridden to right to left: "Ann Lee" shows as "eeL nnA", and only
    // the name does.
    EXPECT_GT (name.caretX (1), name.caretX (4));
}

TEST (TextLine, FallbackFacesAreAskedForOncePerFace)
{
    auto& faces = *FallbackFaces::getInstance();
    const auto font = nameFont();

    for (const auto& sample : SampleNames::all())
        [[maybe_unused]] const TextLine line (sample.name, font);

    const auto asked = faces.questionsAsked();

    for (const auto& sample : SampleNames::all())
        [[maybe_unused]] const TextLine line (sample.name, font);

    EXPECT_EQ (faces.questionsAsked(), asked) << "laid out again, the same names asked the system again";

    // Another name in a script already met: its face is loaded.
    [[maybe_unused]] const TextLine han (juce::String::fromUTF8 ("王芳"), font);
    [[maybe_unused]] const TextLine arabic (juce::String::fromUTF8 ("فاطمة"), font);
    EXPECT_EQ (faces.questionsAsked(), asked);
}
