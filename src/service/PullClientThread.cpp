#include "PullClientThread.h"

#include "ServiceClient.h"
#include "ServiceConstants.h"
#include "store/PresetStore.h"
#include "store/SafeFileWriter.h"
#include "store/ServiceCodes.h"

PullClientThread::PullClientThread()
    : ServiceWorker ("Downloading Personalized HRTF Thread")
{
}

void PullClientThread::job()
{
    const auto name = profileName;
    auto* const presetStore = store;

    ReplyHeader header;
    bool profileUpdated = false, fileWritten = false;

    if (presetStore != nullptr)
    {
        RequestSections sections;
        sections.deviceInfo = true;
        sections.updateInfo = true;

        const auto reply = sendServiceRequest (ServiceConstants::pullClientPath, sections, getNetworkStop());
        auto* object = readReplyHeader (reply, header);

        if (object != nullptr && header.statusCode == ServiceCodes::statusOk)
        {
            // The service lists the profile's data sets oldest first.
            const auto urls = object->getProperty ("urls");
            const auto* list = urls.getArray();

            if (list != nullptr && ! list->isEmpty() && list->getLast().isObject())
            {
                const auto entry = list->getLast();
                const auto hrtfFile = presetStore->hrtfFileFor (entry["hrtf_id"].toString());

                // An id that is no plain file name gives no file: nothing is
                // fetched or written anywhere.
                if (hrtfFile != juce::File())
                {
                    // The file is not created ahead of the download: the plug-in
                    // must never find an empty or partial HRTF file. It is
                    // replaced atomically once the whole data set is here, so a
                    // failed download leaves an earlier file untouched.
                    int announcedLength = -1;
                    const auto bytes = fetchUrlBytes (entry["hrtf_url"].toString(), announcedLength, getNetworkStop());

                    // A stop asked for by now leaves the folder untouched;
                    // once the file is written, the profile and the backup
                    // follow it, so that the folder is whole either way.
                    if (isCompleteDownload (bytes, announcedLength) && ! threadShouldExit())
                        fileWritten = SafeFileWriter::replaceWithData (hrtfFile, bytes);

                    if (fileWritten)
                    {
                        profileUpdated = presetStore->updateHrtfIds (name, entry);
                        presetStore->backupHrtfFile (hrtfFile);
                    }
                }
            }
        }
    }

    deliver (header.execId, header.statusCode, header.returnCode, header.message, profileUpdated, fileWritten);
}
