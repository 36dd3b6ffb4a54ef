#pragma once

#include <cstddef>

//==============================================================================
/** The stand-in service's fixed addresses, keys, limits and texts, defined once.

    The request paths and keys are the ones the Auralis program sends; they are
    kept here as the stand-in's own copy so that the service shares no source
    with the program.
*/
namespace StandinConstants
{
//==============================================================================
// What the program sends with every request.
inline constexpr const char* clientKey = "7c1e5a90b2d34f6e8a0b9c3d2e1f4a5b";
inline constexpr const char* clientNameParameter = "client_name";
inline constexpr const char* clientName = "korvane_eval_qr_code";

// The three service endpoints (the client appends "?client_name=...").
inline constexpr const char* statusCheckPath = "/status-check/v1.0";
inline constexpr const char* pullClientPath = "/pull-client/v1.1";
inline constexpr const char* qrCodeGeneratorPath = "/qr-code-generator/v1.0";

// Downloads and pages the replies point at.
inline constexpr const char* screenshotPath = "/media/plugin-screenshot.png";
inline constexpr const char* qrPicturePrefix = "/qr/";
inline constexpr const char* qrPictureSuffix = ".png";
inline constexpr const char* uploadPagePrefix = "/upload/";
inline constexpr const char* hrtfDataPrefix = "/hrtf/";
inline constexpr const char* downloadPagePath = "/download";

//==============================================================================
// Request envelope members.
namespace Request
{
    inline constexpr const char* clientKey = "client_key";
    inline constexpr const char* productInfo = "product_info";
    inline constexpr const char* productName = "product_name";
    inline constexpr const char* productVersion = "product_version";
    inline constexpr const char* deviceInfo = "device_info";
    inline constexpr const char* deviceId = "device_id";
    inline constexpr const char* updateInfo = "update_info";
    inline constexpr const char* auralisUpdateCheck = "auralis_update_check";
    inline constexpr const char* softwareUpdateCheck = "software_update_check";
    inline constexpr const char* userHrtfInfoFetch = "user_hrtf_info_fetch";
    inline constexpr const char* enable = "enable";
    inline constexpr const char* params = "params";
    inline constexpr const char* currentImgId = "current_img_id";
    inline constexpr const char* currentAuralisId = "current_auralis_id";
    inline constexpr const char* currentHrtfId = "current_hrtf_id";
}

// Reply members.
namespace Reply
{
    inline constexpr const char* execId = "exec_id";
    inline constexpr const char* statusCode = "status_code";
    inline constexpr const char* returnCode = "return_code";
    inline constexpr const char* message = "message";
    inline constexpr const char* timestamp = "timestamp";
    inline constexpr const char* userHrtfInfo = "user_hrtf_info";
    inline constexpr const char* hrtfAllowed = "hrtf_allowed";
    inline constexpr const char* hrtfRequested = "hrtf_requested";
    inline constexpr const char* pullAllowed = "pull_allowed";
    inline constexpr const char* pullRequested = "pull_requested";
    inline constexpr const char* softwareUpdateInfo = "software_update_info";
    inline constexpr const char* downloadUrl = "download_url";
    inline constexpr const char* releaseNotes = "release_notes";
    inline constexpr const char* latestReleaseVersion = "latest_release_version";
    inline constexpr const char* forceUpdate = "force_update";
    inline constexpr const char* auralisUpdateInfo = "auralis_update_info";
    inline constexpr const char* urls = "urls";
    inline constexpr const char* hrtfId = "hrtf_id";
    inline constexpr const char* hrtfUrl = "hrtf_url";
    inline constexpr const char* imgId = "img_id";
    inline constexpr const char* auralisId = "auralis_id";
    inline constexpr const char* qrImageUrl = "qr_image_url";
}

//==============================================================================
/** Codes of the replies. The program acts on the ones it knows (user HRTF
        info 401/1, software update 200/1 and 403/1, Auralis update 4, pull
        403/3); the others only identify the outcome. */
namespace Code
{
    inline constexpr int done = 0;

    inline constexpr int noHrtfData = 1; // "user_hrtf_info" with status 401
    inline constexpr int softwareUpdateAvailable = 1; // with status 200 or 403
    inline constexpr int auralisUpdateWaiting = 1;
    inline constexpr int auralisUpdateHeld = 2;
    inline constexpr int auralisUpToDate = 4;
    inline constexpr int refusedByOperator = 2;
    inline constexpr int pullsUsedUp = 3;
    inline constexpr int submissionsUsedUp = 5;
    inline constexpr int nothingToPull = 6;
    inline constexpr int noAccountForQrCode = 7;

    inline constexpr int badRequest = 10;
    inline constexpr int notJson = 11;
    inline constexpr int wrongClientKey = 12;
    inline constexpr int wrongClientName = 13;
    inline constexpr int missingSection = 14;
    inline constexpr int tooLarge = 15;
    inline constexpr int tooDeep = 16;
    inline constexpr int unknownAddress = 17;
    inline constexpr int internalError = 18;
}

//==============================================================================
// Texts of the replies.
namespace Text
{
    inline constexpr const char* done = "OK";
    inline constexpr const char* hrtfFound = "HRTF data found.";
    inline constexpr const char* noHrtfData = "No HRTF data found for this profile.";
    inline constexpr const char* softwareUpToDate = "Your Auralis software is up to date.";
    inline constexpr const char* softwareUpdateAvailable = "A new version of Auralis is available!";
    inline constexpr const char* softwareUnsupported = "This Auralis version is no longer supported.";
    inline constexpr const char* auralisUpdateWaiting = "New personalised HRTF data is ready.";
    inline constexpr const char* auralisUpdateHeld = "Auralis update unavailable!";
    inline constexpr const char* auralisUpToDate = "Your personalised HRTF data is up to date.";
    inline constexpr const char* qrCodeCreated = "QR code created.";
    inline constexpr const char* noAccountForQrCode = "Please register your profile before requesting a QR code.";
    inline constexpr const char* submissionsUsedUp = "You have used all image submissions for this profile.";
    inline constexpr const char* pullsUsedUp = "You have reached the maximum number of downloads for this profile.";
    inline constexpr const char* nothingToPull = "No HRTF data is ready for this profile yet.";
    inline constexpr const char* notJson = "The request is not a JSON object.";
    inline constexpr const char* wrongClientKey = "The client key is not valid.";
    inline constexpr const char* wrongClientName = "The client name is not valid.";
    inline constexpr const char* tooLarge = "The request is too large.";
    inline constexpr const char* tooDeep = "The request is nested too deeply.";
    inline constexpr const char* unknownAddress = "There is nothing at this address.";
    inline constexpr const char* badRequest = "The request could not be read.";
    inline constexpr const char* internalError = "The service could not carry out the request.";
}

//==============================================================================
// Defaults and limits.
inline constexpr const char* defaultAddress = "127.0.0.1";
inline constexpr int defaultPort = 8443;
inline constexpr int defaultHrtfAllowed = 5;
inline constexpr int defaultPullAllowed = 10;
inline constexpr const char* currentProgramVersion = "0.0.10";

inline constexpr std::size_t maxJsonBodyBytes = 64 * 1024;
inline constexpr int maxJsonDepth = 16;
inline constexpr std::size_t maxStringMemberBytes = 256;
inline constexpr std::size_t defaultMaxUploadBytes = 8 * 1024 * 1024;
inline constexpr std::size_t multipartOverheadBytes = 64 * 1024;

inline constexpr const char* uploadFieldName = "ear_photo";
inline constexpr const char* databaseFileName = "standin.sqlite";
inline constexpr const char* tlsFolderName = "tls";
inline constexpr const char* uploadsFolderName = "uploads";
}
