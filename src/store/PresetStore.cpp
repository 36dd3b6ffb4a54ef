#include "PresetStore.h"

#include "DeviceIdentifier.h"
#include "SafeFileReader.h"
#include "SafeFileWriter.h"
#include "ServiceCodes.h"
#include "ValueTreeStreamValidator.h"
#include "VarConversions.h"

namespace
{
// Service reply members read by the status merge and the HRTF update.
namespace ReplyKeys
{
    const char* const timestamp = "timestamp";
    const char* const userHrtfInfo = "user_hrtf_info";
    const char* const softwareUpdateInfo = "software_update_info";
    const char* const auralisUpdateInfo = "auralis_update_info";
    const char* const statusCode = "status_code";
    const char* const returnCode = "return_code";
    const char* const message = "message";
    const char* const hrtfAllowed = "hrtf_allowed";
    const char* const hrtfRequested = "hrtf_requested";
    const char* const pullAllowed = "pull_allowed";
    const char* const pullRequested = "pull_requested";
    const char* const downloadUrl = "download_url";
    const char* const releaseNotes = "release_notes";
    const char* const latestReleaseVersion = "latest_release_version";
    const char* const forceUpdate = "force_update";
    const char* const hrtfId = "hrtf_id";
    const char* const hrtfUrl = "hrtf_url";
    const char* const imgId = "img_id";
    const char* const auralisId = "auralis_id";
}

using ServiceCodes::statusForbidden;
using ServiceCodes::statusOk;

const juce::var* findObject (const juce::var& reply, const char* key)
{
    if (auto* object = reply.getDynamicObject())
        if (auto* member = object->getProperties().getVarPointer (key))
            if (member->getDynamicObject() != nullptr)
                return member;

    return nullptr;
}

}

//==============================================================================
PresetStore::PresetStore (const juce::File& file)
    : presetsFile (file)
    , backupFile (file == juce::File() ? juce::File() : juce::File (file.getFullPathName() + backupSuffix))
    , hrtfFiles (file)
    , bank (ids.bank)
{
    load();
}

//==============================================================================
void PresetStore::load()
{
    juce::StringArray hrtfIds;

    {
        // No write is under way while the files are read, so what is read is
        // the newest bank; the files are read outside the store's lock, so
        // that readers wait for no disk.
        const juce::ScopedLock writing (writeLock);

        const auto fromPresets = readBankFile (presetsFile);
        const auto fromBackup = (! fromPresets.isValid() || fromPresets.getNumChildren() == 0) ? readBankFile (backupFile)
                                                                                               : juce::ValueTree();

        const juce::ScopedLock sl (lock);

        if (fromPresets.isValid())
            bank = fromPresets;

        if (fromBackup.isValid())
            bank = fromBackup;

        hrtfIds = getHrtfIds();
    }

    sendChangeMessage();

    // The HRTF files can be large; copying them does not hold up readers.
    hrtfFiles.mirror (hrtfIds);
    removeStrayTemporaryFiles (hrtfIds);
}

void PresetStore::save()
{
    bool saved = true;

    {
        const juce::ScopedLock writing (writeLock);
        saved = writeBankFiles (takeBankBytes());
    }

    if (! saved)
        reportSaveFailure();
}

juce::ValueTree PresetStore::readBank (const void* data, size_t numBytes)
{
    if (! ValueTreeStreamValidator::isValid (data, numBytes))
        return {};

    auto tree = juce::ValueTree::readFromData (data, numBytes);

    // A tree of another type is not a bank; taking it on would write it back
    // as "Presets" for the decoder plug-in.
    if (tree.getType().toString() != "bank")
        return {};

    return tree;
}

//==============================================================================
juce::StringArray PresetStore::getProfileNames() const
{
    const juce::ScopedLock sl (lock);

    juce::StringArray names;

    for (const auto& preset : bank)
        names.add (VarConversions::toString (preset[ids.profileName]));

    return names;
}

bool PresetStore::findProfile (const juce::String& name, ProfileRecord& out) const
{
    const juce::ScopedLock sl (lock);

    const auto preset = findPreset (name);

    if (! preset.isValid())
        return false;

    fillRecord (preset, out);
    return true;
}

void PresetStore::fillRecord (const juce::ValueTree& preset, ProfileRecord& out) const
{
    const juce::ScopedLock sl (lock);

    const auto text = [&preset] (const juce::Identifier& id)
    { return VarConversions::toString (preset[id]); };
    const auto number = [&preset] (const juce::Identifier& id)
    { return VarConversions::toInt (preset[id]); };

    out.profileName = text (ids.profileName);
    out.localMachineId = text (ids.localMachineId);
    out.timestamp = text (ids.timestamp);
    out.hrtf_allowed = number (ids.hrtf_allowed);
    out.hrtf_requested = number (ids.hrtf_requested);
    out.pull_allowed = number (ids.pull_allowed);
    out.pull_requested = number (ids.pull_requested);
    out.hrtf_status_code = number (ids.hrtf_status_code);
    out.hrtf_return_code = number (ids.hrtf_return_code);
    out.hrtf_message = text (ids.hrtf_message);
    out.hrtf_id = text (ids.hrtf_id);
    out.hrtf_url = text (ids.hrtf_url);
    out.img_id = text (ids.img_id);
    out.auralis_id = text (ids.auralis_id);
    out.software_update_message = text (ids.software_update_message);
    out.release_notes = text (ids.release_notes);
    out.download_url = text (ids.download_url);
    out.latest_release_version = text (ids.latest_release_version);
    out.software_update_status_code = number (ids.software_update_status_code);
    out.software_update_return_code = number (ids.software_update_return_code);
    out.auralis_update_message = text (ids.auralis_update_message);
    out.auralis_update_status_code = number (ids.auralis_update_status_code);
    out.auralis_update_return_code = number (ids.auralis_update_return_code);
    out.force_update = VarConversions::toBool (preset[ids.force_update]);
}

juce::ValueTree PresetStore::presetAt (int index) const
{
    const juce::ScopedLock sl (lock);
    return bank.getChild (index).createCopy();
}

int PresetStore::numProfiles() const
{
    const juce::ScopedLock sl (lock);
    return bank.getNumChildren();
}

void PresetStore::setLastSelectedPreset (int index)
{
    const juce::ScopedLock sl (lock);
    bank.setProperty (ids.lastSelectedPreset, index, nullptr);
}

int PresetStore::getLastSelectedPreset() const
{
    const juce::ScopedLock sl (lock);
    return VarConversions::toInt (bank[ids.lastSelectedPreset]);
}

void PresetStore::removeProfile (const juce::String& name)
{
    bool saved = true;

    {
        const juce::ScopedLock writing (writeLock);
        bool emptied = false;

        {
            const juce::ScopedLock sl (lock);

            const auto preset = findPreset (name);

            if (preset.isValid())
                bank.removeChild (preset, nullptr);

            emptied = bank.getNumChildren() == 0;
        }

        sendChangeMessage();

        if (emptied)
        {
            if (presetsFile.existsAsFile())
                presetsFile.deleteFile();

            if (backupFile.existsAsFile())
                backupFile.deleteFile();
        }

        saved = writeBankFiles (takeBankBytes());
    }

    if (! saved)
        reportSaveFailure();
}

//==============================================================================
void PresetStore::mergeStatusReply (const juce::String& name, const juce::var& reply)
{
    if (reply.getDynamicObject() == nullptr || name.isEmpty())
        return;

    bool saved = true;

    {
        const juce::ScopedLock writing (writeLock);
        std::optional<juce::MemoryBlock> bytes;

        {
            const juce::ScopedLock sl (lock);
            mergeIntoBank (name, reply);
            bytes = takeBankBytes();
        }

        sendChangeMessage();

        saved = writeBankFiles (bytes);
    }

    if (! saved)
        reportSaveFailure();
}

void PresetStore::mergeIntoBank (const juce::String& name, const juce::var& reply)
{
    auto preset = findPreset (name);
    const bool isNew = ! preset.isValid();

    if (isNew)
        preset = juce::ValueTree (ids.preset);

    const auto copy = [&preset] (const juce::Identifier& property, const juce::var& from, const char* key)
    {
        preset.setProperty (property, storableValue (from[key]), nullptr);
    };

    copy (ids.timestamp, reply, ReplyKeys::timestamp);

    if (auto* info = findObject (reply, ReplyKeys::userHrtfInfo))
    {
        copy (ids.hrtf_allowed, *info, ReplyKeys::hrtfAllowed);
        copy (ids.hrtf_requested, *info, ReplyKeys::hrtfRequested);
        copy (ids.pull_allowed, *info, ReplyKeys::pullAllowed);
        copy (ids.pull_requested, *info, ReplyKeys::pullRequested);
        copy (ids.hrtf_status_code, *info, ReplyKeys::statusCode);
        copy (ids.hrtf_return_code, *info, ReplyKeys::returnCode);
        copy (ids.hrtf_message, *info, ReplyKeys::message);
    }

    if (auto* info = findObject (reply, ReplyKeys::softwareUpdateInfo))
    {
        const auto status = VarConversions::toInt ((*info)[ReplyKeys::statusCode]);

        if (status == statusOk || status == statusForbidden)
        {
            copy (ids.download_url, *info, ReplyKeys::downloadUrl);
            copy (ids.release_notes, *info, ReplyKeys::releaseNotes);
            copy (ids.latest_release_version, *info, ReplyKeys::latestReleaseVersion);
            copy (ids.software_update_message, *info, ReplyKeys::message);
            copy (ids.software_update_status_code, *info, ReplyKeys::statusCode);
            copy (ids.software_update_return_code, *info, ReplyKeys::returnCode);

            const bool forced = VarConversions::toInt ((*info)[ReplyKeys::forceUpdate]) == 1;
            preset.setProperty (ids.force_update, forced, nullptr);
        }
    }

    if (auto* info = findObject (reply, ReplyKeys::auralisUpdateInfo))
    {
        if (VarConversions::toInt ((*info)[ReplyKeys::statusCode]) == statusOk)
        {
            copy (ids.auralis_update_message, *info, ReplyKeys::message);
            copy (ids.auralis_update_status_code, *info, ReplyKeys::statusCode);
            copy (ids.auralis_update_return_code, *info, ReplyKeys::returnCode);
        }
    }

    if (isNew)
    {
        preset.setProperty (ids.profileName, name, nullptr);
        preset.setProperty (ids.localMachineId, localDeviceIdentifier(), nullptr);
        bank.appendChild (preset, nullptr);
    }
}

bool PresetStore::updateHrtfIds (const juce::String& name, const juce::var& entry)
{
    if (entry.getDynamicObject() == nullptr)
        return false;

    const auto newId = VarConversions::toString (entry[ReplyKeys::hrtfId]);

    // An id that cannot name a file is never recorded: the decoder plug-in
    // would look for it, and the next load would try to mirror it.
    if (hrtfFileFor (newId) == juce::File())
        return false;

    bool saved = true;

    {
        const juce::ScopedLock writing (writeLock);
        std::optional<juce::MemoryBlock> bytes;

        {
            const juce::ScopedLock sl (lock);

            auto preset = findPreset (name);

            if (preset.isValid())
            {
                if (VarConversions::toString (preset[ids.hrtf_id]) == newId)
                    return false;

                preset.setProperty (ids.hrtf_id, newId, nullptr);
                preset.setProperty (ids.hrtf_url, storableValue (entry[ReplyKeys::hrtfUrl]), nullptr);
                preset.setProperty (ids.img_id, storableValue (entry[ReplyKeys::imgId]), nullptr);
                preset.setProperty (ids.auralis_id, storableValue (entry[ReplyKeys::auralisId]), nullptr);
            }

            bytes = takeBankBytes();
        }

        saved = writeBankFiles (bytes);
    }

    if (! saved)
        reportSaveFailure();

    return true;
}

//==============================================================================
juce::File PresetStore::hrtfFileFor (const juce::String& hrtfId) const
{
    return hrtfFiles.fileFor (hrtfId);
}

bool PresetStore::backupHrtfFile (const juce::File& hrtfFile)
{
    return hrtfFiles.backUp (hrtfFile);
}

//==============================================================================
std::optional<juce::MemoryBlock> PresetStore::takeBankBytes() const
{
    const juce::ScopedLock sl (lock);

    if (bank.getNumChildren() == 0)
        return {};

    juce::MemoryOutputStream out;
    bank.writeToStream (out);
    return out.getMemoryBlock();
}

bool PresetStore::writeBankFiles (const std::optional<juce::MemoryBlock>& bytes)
{
    // Called with the write lock held and the store's lock free: readers go
    // on while the files are written, flushed and renamed.
    if (! bytes.has_value())
        return true;

    const auto& block = *bytes;

    aboutToWriteBankFiles();

    // Never write a bank that the next start would refuse to read.
    if ((juce::int64) block.getSize() > maxBankFileBytes
        || ! ValueTreeStreamValidator::isValid (block.getData(), block.getSize()))
        return false;

    const bool written = SafeFileWriter::replaceWithData (presetsFile, block);

    // The backup always receives the same bytes; its failure is not reported.
    SafeFileWriter::replaceWithData (backupFile, block);

    return written;
}

void PresetStore::reportSaveFailure()
{
    if (onSaveFailed != nullptr)
        onSaveFailed();
}

juce::StringArray PresetStore::getHrtfIds() const
{
    const juce::ScopedLock sl (lock);

    juce::StringArray hrtfIds;

    for (const auto& preset : bank)
    {
        const auto id = VarConversions::toString (preset[ids.hrtf_id]);

        if (id.isNotEmpty())
            hrtfIds.add (id);
    }

    return hrtfIds;
}

void PresetStore::removeStrayTemporaryFiles (const juce::StringArray& hrtfIds)
{
    if (presetsFile == juce::File())
        return;

    // Only the temporary files of the bank and of the HRTF files it names.
    juce::StringArray names { presetsFile.getFileName(), backupFile.getFileName() };
    names.addArray (hrtfFiles.fileNamesFor (hrtfIds));

    SafeFileWriter::removeStrayTemporaryFiles (presetsFile.getParentDirectory(), names);
}

juce::ValueTree PresetStore::findPreset (const juce::String& name) const
{
    const juce::ScopedLock sl (lock);

    // A profile always has a name, so an empty one matches nothing.
    if (name.isEmpty())
        return {};

    for (const auto& preset : bank)
        if (VarConversions::toString (preset[ids.profileName]) == name)
            return preset;

    return {};
}

//==============================================================================
juce::ValueTree PresetStore::readBankFile (const juce::File& file)
{
    juce::MemoryBlock block;

    if (! file.existsAsFile() || ! SafeFileReader::readWholeFile (file, maxBankFileBytes, block))
        return {};

    return readBank (block.getData(), block.getSize());
}

juce::var PresetStore::storableValue (const juce::var& value)
{
    // Only plain values reach the bank: a nested list or object from the
    // service could not be written back or would nest without limit.
    if (value.isString())
        return (int) value.toString().getNumBytesAsUTF8() <= maxStoredTextBytes ? value : juce::var();

    if (value.isInt() || value.isInt64() || value.isDouble() || value.isBool())
        return value;

    return {};
}
