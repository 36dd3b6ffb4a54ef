#pragma once

#include "store/PresetStore.h"

//==============================================================================
/** A fresh folder for one test, removed afterwards. The data folder below it
    does not exist until the store writes into it. */
class StoreTestFolder
{
public:
    StoreTestFolder() { root.createDirectory(); }
    ~StoreTestFolder() { root.deleteRecursively(); }

    juce::File dataFolder() const { return root.getChildFile ("Common Files/Vantora/Korvane"); }
    juce::File presets() const { return dataFolder().getChildFile ("Presets"); }
    juce::File backup() const { return dataFolder().getChildFile ("Presets_"); }

    static juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block;
    }

    static juce::MemoryBlock bytesOf (const juce::ValueTree& tree)
    {
        juce::MemoryOutputStream out;
        tree.writeToStream (out);
        return out.getMemoryBlock();
    }

    static void write (const juce::File& file, const juce::MemoryBlock& block)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithData (block.getData(), block.getSize());
    }

    /** A bank with one preset per name, each with the given HRTF id if any. */
    static juce::ValueTree makeBank (const juce::StringArray& names, const juce::String& hrtfId = {})
    {
        juce::ValueTree bank ("bank");

        for (auto& name : names)
        {
            juce::ValueTree preset ("preset");
            preset.setProperty ("profileName", name, nullptr);

            if (hrtfId.isNotEmpty())
                preset.setProperty ("hrtf_id", hrtfId, nullptr);

            bank.appendChild (preset, nullptr);
        }

        return bank;
    }

    const juce::File root { juce::File::createTempFile ("auralis-store") };
};
