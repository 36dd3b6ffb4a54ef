#include "StoreTestFolder.h"
#include "store/ValueTreeStreamValidator.h"

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock bytes (std::initializer_list<int> values)
{
    juce::MemoryBlock block;

    for (auto v : values)
        block.append (&v, 1); // little-endian: the low byte

    return block;
}

juce::MemoryBlock operator+ (juce::MemoryBlock a, const juce::MemoryBlock& b)
{
    a.append (b.getData(), b.getSize());
    return a;
}

bool isValid (const juce::MemoryBlock& block) { return ValueTreeStreamValidator::isValid (block.getData(), block.getSize()); }

// "bank\0" as the start of a root tree.
const juce::MemoryBlock bankType ("bank", 5);

/** A tree nested the given number of levels, one child per level. */
juce::MemoryBlock chainOfDepth (int depth)
{
    juce::MemoryOutputStream out;

    for (int i = 0; i < depth; ++i)
    {
        out.write ("p", 2);
        out.writeCompressedInt (0);
        out.writeCompressedInt (i + 1 < depth ? 1 : 0);
    }

    return out.getMemoryBlock();
}
}

//==============================================================================
TEST (ValueTreeStreamValidator, AcceptsEverythingTheFrameworkWrites)
{
    juce::ValueTree bank ("bank");
    bank.setProperty ("lastSelectedPreset", 2, nullptr);
    juce::ValueTree preset ("preset");
    preset.setProperty ("int", -123456, nullptr);
    preset.setProperty ("int64", (juce::int64) 1 << 40, nullptr);
    preset.setProperty ("double", 2.5, nullptr);
    preset.setProperty ("true", true, nullptr);
    preset.setProperty ("false", false, nullptr);
    preset.setProperty ("empty", juce::String(), nullptr);
    preset.setProperty ("void", juce::var(), nullptr);
    preset.setProperty ("undefined", juce::var::undefined(), nullptr);
    preset.setProperty ("text", juce::String::fromUTF8 (u8"Zoë ✓ 𝄞"), nullptr);
    preset.setProperty ("binary", juce::MemoryBlock ("\0\1\2", 3), nullptr);
    preset.setProperty ("list", juce::Array<juce::var> { 1, "two", juce::Array<juce::var> { 3.0, false } }, nullptr);
    bank.appendChild (preset, nullptr);
    bank.appendChild (juce::ValueTree ("preset"), nullptr);

    const auto block = StoreTestFolder::bytesOf (bank);
    ASSERT_TRUE (isValid (block));
    EXPECT_TRUE (PresetStore::readBank (block.getData(), block.getSize()).isEquivalentTo (bank));

    // The framework's reader ignores trailing bytes, and so does the walk.
    EXPECT_TRUE (isValid (block + juce::MemoryBlock ("tail", 4)));
}

TEST (ValueTreeStreamValidator, RefusesEveryTruncationAndTreesOfAnotherType)
{
    const auto block = StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann", "Bob" }, "h-1"));

    for (size_t n = 0; n < block.getSize(); ++n)
        EXPECT_FALSE (ValueTreeStreamValidator::isValid (block.getData(), n)) << n;

    const auto other = StoreTestFolder::bytesOf (juce::ValueTree ("notabank"));
    EXPECT_TRUE (isValid (other));
    EXPECT_FALSE (PresetStore::readBank (other.getData(), other.getSize()).isValid());
}

TEST (ValueTreeStreamValidator, RefusesInputsThatHangCrashOrExhaustTheFrameworksReader)
{
    const juce::MemoryBlock damaged[] = {
        // Seven bytes claiming 2^31 - 1 properties (the reader loops for minutes).
        bytes ({ 'a', 0, 4, 0xff, 0xff, 0xff, 0x7f }),
        // A list value claiming 2^31 - 1 elements (memory grows until the end).
        bankType + bytes ({ 1, 1, 'p', 0, 1, 6, 7, 4, 0xff, 0xff, 0xff, 0x7f, 0 }),
        // Child counts that overflow the reader's storage size, or are negative.
        bankType + bytes ({ 0, 4, 0xff, 0xff, 0xff, 0x7f }),
        bankType + bytes ({ 0, 0x84, 0xff, 0xff, 0xff, 0x7f }),
        // A magnitude of 2^31, which the reader negates as an int.
        bankType + bytes ({ 0, 0x84, 0, 0, 0, 0x80 }),
        // A compressed int of more than four bytes; a value size that is negative.
        bankType + bytes ({ 5, 1, 1, 1, 1, 1, 0 }),
        bankType + bytes ({ 1, 1, 'p', 0, 0x81, 5, 0 }),
        // Unknown marker, wrong fixed sizes, a string without its null, bad UTF-8.
        bankType + bytes ({ 1, 1, 'p', 0, 1, 1, 10, 0 }),
        bankType + bytes ({ 1, 1, 'p', 0, 1, 3, 1, 0, 0, 0 }),
        bankType + bytes ({ 1, 1, 'p', 0, 1, 4, 4, 1, 2, 3, 0 }),
        bankType + bytes ({ 1, 1, 'p', 0, 1, 3, 5, 'a', 'b', 0 }),
        bankType + bytes ({ 1, 1, 'p', 0, 1, 4, 5, 0xc0, 0x80, 0, 0 }),
        // An empty property name (the reader then misreads the value).
        bankType + bytes ({ 1, 1, 0, 0, 0 }),
        // A list whose elements do not fill its size.
        bankType + bytes ({ 1, 1, 'p', 0, 1, 5, 7, 1, 1, 0, 0, 0 }),
        // An empty root type.
        bytes ({ 0, 0, 0 }),
    };

    for (auto& block : damaged)
    {
        EXPECT_FALSE (isValid (block)) << juce::String::toHexString (block.getData(), (int) block.getSize());
        EXPECT_FALSE (PresetStore::readBank (block.getData(), block.getSize()).isValid());
    }
}

TEST (ValueTreeStreamValidator, LimitsNestingOfTreesAndLists)
{
    EXPECT_TRUE (isValid (chainOfDepth (ValueTreeStreamValidator::defaultMaxDepth)));
    EXPECT_FALSE (isValid (chainOfDepth (ValueTreeStreamValidator::defaultMaxDepth + 1)));

    // About 44,000 levels overflow the reader's stack, and destroying such a
    // tree takes quadratic time.
    EXPECT_FALSE (isValid (chainOfDepth (44000)));

    juce::var list;

    for (int i = 0; i < ValueTreeStreamValidator::defaultMaxDepth; ++i)
        list = juce::Array<juce::var> { list };

    juce::ValueTree bank ("bank");
    bank.setProperty ("p", list, nullptr);
    EXPECT_FALSE (isValid (StoreTestFolder::bytesOf (bank)));
}

TEST (ValueTreeStreamValidator, ADamagedBankFallsBackToTheBackupQuickly)
{
    StoreTestFolder t;
    StoreTestFolder::write (t.backup(), StoreTestFolder::bytesOf (StoreTestFolder::makeBank ({ "Ann" })));
    StoreTestFolder::write (t.presets(), chainOfDepth (44000));

    PresetStore store (t.presets());
    EXPECT_EQ (store.getProfileNames(), juce::StringArray ("Ann"));
}

TEST (ValueTreeStreamValidator, TheFuzzersSeedBanksReadAsIntended)
{
    // Written by tools/fuzz/make-seeds.py, an encoder of its own.
    const juce::File seeds (juce::String (AURALIS_TEST_SOURCE_DIR) + "/tools/fuzz/corpus/bank");
    const std::pair<const char*, int> expectedProfiles[] = { { "one-profile", 1 }, { "three-profiles", 3 }, { "empty-bank", 0 }, { "truncated", -1 }, { "huge-property-count", -1 }, { "huge-list", -1 }, { "too-deep", -1 } };

    for (auto& [name, count] : expectedProfiles)
    {
        const auto block = StoreTestFolder::bytesOf (seeds.getChildFile (name));
        ASSERT_GT (block.getSize(), 0u) << name;

        const auto bank = PresetStore::readBank (block.getData(), block.getSize());
        EXPECT_EQ (bank.isValid() ? bank.getNumChildren() : -1, count) << name;
    }
}
