// Feeds arbitrary bytes to the service client as a reply body, and the
// parsed reply to everything that reads one: the reply header, the status
// check's merge into the bank, and the pull's reading of its last "urls"
// entry. Any crash, hang, sanitizer report or framework assertion is a
// finding; so is a merged profile that cannot be saved and read back the
// same, an id naming a file outside the data folder, or any file other than
// the bank and its backup appearing there.

#include "FuzzSupport.h"
#include "service/ServiceClient.h"
#include "store/PresetStore.h"
#include "store/SubmissionNumber.h"

#include <cstdint>
#include <cstring>

namespace
{
using fuzz::check;
using fuzz::dataFolder;

const juce::String profileName ("listener");

bool sameRecords (const ProfileRecord& a, const ProfileRecord& b)
{
    return a.profileName == b.profileName && a.timestamp == b.timestamp
           && a.hrtf_allowed == b.hrtf_allowed && a.hrtf_requested == b.hrtf_requested
           && a.pull_allowed == b.pull_allowed && a.pull_requested == b.pull_requested
           && a.hrtf_status_code == b.hrtf_status_code && a.hrtf_return_code == b.hrtf_return_code
           && a.hrtf_message == b.hrtf_message && a.hrtf_id == b.hrtf_id && a.hrtf_url == b.hrtf_url
           && a.img_id == b.img_id && a.auralis_id == b.auralis_id
           && a.software_update_message == b.software_update_message
           && a.release_notes == b.release_notes && a.download_url == b.download_url
           && a.latest_release_version == b.latest_release_version
           && a.software_update_status_code == b.software_update_status_code
           && a.software_update_return_code == b.software_update_return_code
           && a.auralis_update_message == b.auralis_update_message
           && a.auralis_update_status_code == b.auralis_update_status_code
           && a.auralis_update_return_code == b.auralis_update_return_code
           && a.force_update == b.force_update;
}

/** What the pull does with a reply before it downloads anything: the last
    entry of "urls" names the file the data set would be written to. */
void readPullEntry (PresetStore& store, juce::DynamicObject& object)
{
    const auto urls = object.getProperty ("urls");
    const auto* list = urls.getArray();

    if (list == nullptr || list->isEmpty() || ! list->getLast().isObject())
        return;

    const auto entry = list->getLast();
    const auto hrtfId = entry["hrtf_id"].toString();
    const auto hrtfFile = store.hrtfFileFor (hrtfId);
    check (hrtfFile == juce::File() || hrtfFile.getParentDirectory() == dataFolder());

    // A file exactly for the ids that are plain file names other than the
    // bank's and its backup's, in any letter case.
    const juce::String bankName (PresetStore::presetsFileName);
    const bool namesTheBank = hrtfId.equalsIgnoreCase (bankName) || hrtfId.equalsIgnoreCase (bankName + PresetStore::backupSuffix);
    check ((hrtfFile != juce::File()) == (HrtfFiles::isSafeId (hrtfId) && ! namesTheBank));

    if (hrtfFile != juce::File())
        store.updateHrtfIds (profileName, entry);
    else
        check (! store.updateHrtfIds (profileName, entry));
}
} // namespace

// An empty member name ("": 1) is legal JSON: the framework's parser asserts
// while making it an identifier, then keeps it as an ordinary member that no
// reader asks for. Every other framework assertion is a finding.
void auralisFuzzFrameworkAssertion (const char* file, int)
{
    if (std::strstr (file, "juce_Identifier.cpp") == nullptr)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto presets = dataFolder().getChildFile (PresetStore::presetsFileName);
    const auto backup = presets.getSiblingFile (juce::String (PresetStore::presetsFileName) + PresetStore::backupSuffix);
    presets.deleteFile();
    backup.deleteFile();

    const auto reply = parseReply (juce::MemoryBlock (data, size), 200);
    check (reply.isVoid() || reply.isObject() || reply.isArray());

    ReplyHeader header;
    auto* object = readReplyHeader (reply, header);
    check (object == reply.getDynamicObject());

    if (object == nullptr)
        return 0;

    check (object->hasProperty ("status_code"));

    PresetStore store (presets);
    bool saveFailed = false;
    store.onSaveFailed = [&saveFailed]
    { saveFailed = true; };

    store.mergeStatusReply (profileName, reply);
    readPullEntry (store, *object);

    ProfileRecord merged;
    check (store.findProfile (profileName, merged));
    SubmissionNumber::fromImageId (merged.img_id);

    // Whatever was merged was saved, and reads back the same.
    check (! saveFailed && presets.existsAsFile() && backup.existsAsFile());

    PresetStore reread (presets);
    ProfileRecord readBack;
    check (reread.numProfiles() == 1 && reread.findProfile (profileName, readBack));
    check (sameRecords (merged, readBack));

    check (dataFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories) == 2);
    return 0;
}
