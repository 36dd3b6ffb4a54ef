#include "HrtfFiles.h"

#include "SafeFileReader.h"
#include "SafeFileWriter.h"

namespace
{
bool isWindowsDeviceName (const juce::String& name)
{
    static const juce::StringArray deviceNames { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9" };

    // "NUL", "nul.txt" and "NUL .x" all open the device.
    const auto stem = name.upToFirstOccurrenceOf (".", false, false).trimEnd();
    return deviceNames.contains (stem, true);
}

/** Copies of HRTF files can be large: on a worker's thread, a stop asked for
    ends them between blocks, and the copy is not made. */
bool stopAsked()
{
    return juce::Thread::currentThreadShouldExit();
}

bool readWhole (const juce::File& file, juce::MemoryBlock& block)
{
    return file.existsAsFile() && SafeFileReader::readWholeFile (file, HrtfFiles::maxFileBytes, block, stopAsked) && ! block.isEmpty();
}

bool writeWhole (const juce::File& file, const juce::MemoryBlock& block)
{
    return ! stopAsked() && SafeFileWriter::replaceWithData (file, block, stopAsked) && file.existsAsFile();
}
} // namespace

//==============================================================================
HrtfFiles::HrtfFiles (const juce::File& presetsFileToUse)
    : presetsFile (presetsFileToUse)
{
}

juce::File HrtfFiles::fileFor (const juce::String& hrtfId) const
{
    if (presetsFile == juce::File() || ! isSafeId (hrtfId))
        return {};

    // Never the bank or its backup, in any letter case (Windows and the
    // decoder plug-in would take them for the same files).
    const auto bankName = presetsFile.getFileName();

    if (hrtfId.equalsIgnoreCase (bankName) || hrtfId.equalsIgnoreCase (bankName + backupSuffix))
        return {};

    const auto folder = presetsFile.getParentDirectory();
    const juce::File file (folder.getFullPathName() + juce::File::getSeparatorString() + hrtfId);

    // Whatever the id, the file lies directly in the data folder.
    if (file.getParentDirectory() != folder || file.getFileName() != hrtfId)
        return {};

    return file;
}

bool HrtfFiles::backUp (const juce::File& hrtfFile) const
{
    juce::MemoryBlock block;

    if (! isFileOfThisFolder (hrtfFile) || ! readWhole (hrtfFile, block))
        return false;

    return writeWhole (backupFileFor (hrtfFile), block);
}

void HrtfFiles::mirror (const juce::StringArray& hrtfIds) const
{
    for (const auto& id : hrtfIds)
    {
        const auto file = fileFor (id);

        if (file == juce::File())
            continue;

        const auto backup = backupFileFor (file);
        bool copied = false;
        juce::MemoryBlock block;

        if (readWhole (file, block))
        {
            juce::MemoryBlock existing;
            const bool alreadyEqual = readWhole (backup, existing) && existing == block;

            copied = alreadyEqual || writeWhole (backup, block);
        }

        if (stopAsked())
            return;

        if (! copied && readWhole (backup, block))
            writeWhole (file, block);
    }
}

juce::StringArray HrtfFiles::fileNamesFor (const juce::StringArray& hrtfIds) const
{
    juce::StringArray names;

    for (const auto& id : hrtfIds)
    {
        const auto file = fileFor (id);

        if (file != juce::File())
            names.addArray ({ file.getFileName(), backupFileFor (file).getFileName() });
    }

    return names;
}

bool HrtfFiles::isSafeId (const juce::String& hrtfId)
{
    if (hrtfId.isEmpty() || (int) hrtfId.getNumBytesAsUTF8() > maxIdBytes)
        return false;

    // No hidden names (which also rules out "." and ".."), and no trailing
    // dot or blank, which Windows strips ("Presets." would be "Presets").
    if (hrtfId.startsWithChar ('.') || hrtfId.endsWithChar ('.') || hrtfId.endsWithChar (' '))
        return false;

    // Path separators, drive and stream colons, wildcards, and controls.
    static const juce::String refusedCharacters ("/\\:*?\"<>|");

    for (auto c : hrtfId)
        if (c < 0x20 || c == 0x7f || refusedCharacters.containsChar (c))
            return false;

    return ! isWindowsDeviceName (hrtfId);
}

juce::File HrtfFiles::backupFileFor (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + backupSuffix);
}

//==============================================================================
bool HrtfFiles::isFileOfThisFolder (const juce::File& file) const
{
    return file != juce::File() && fileFor (file.getFileName()) == file;
}
