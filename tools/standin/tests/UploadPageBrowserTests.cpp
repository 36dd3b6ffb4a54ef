#include "support/ChromiumSession.h"
#include "support/StandinTestServer.h"
#include "support/TestFiles.h"

#include "StandinConstants.h"

#include <gtest/gtest.h>

//==============================================================================
TEST (UploadPageInBrowser, PhotoUploadedFromThePageIsSeenByTheNextStatusCheck)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");

    // The address a phone would read from the QR code.
    const auto qrPicture = standin.get (standin.pathOf (standin.qrCode()["qr_image_url"]));
    ASSERT_TRUE (qrPicture);
    const auto uploadAddress = TestFiles::decodeQrCode (qrPicture->body);
    ASSERT_FALSE (uploadAddress.empty());

    ChromiumSession browser;
    std::string error;
    const auto spkiHash = ChromiumSession::spkiHashOf (standin.stateFolder() / StandinConstants::tlsFolderName / "server.pem");
    ASSERT_TRUE (browser.launch (spkiHash, error)) << error << "\n"
                                                   << browser.log();
    ASSERT_TRUE (browser.open (uploadAddress, error)) << error;

    ASSERT_TRUE (browser.waitFor ("document.readyState === 'complete' && document.querySelector('input[type=file]') !== null", std::chrono::seconds (30), error))
        << error << "\n"
        << browser.log();

    // The page is meant for phones.
    const auto viewport = browser.evaluate ("document.querySelector('meta[name=viewport]') !== null", error);
    ASSERT_TRUE (viewport) << error;
    EXPECT_EQ (*viewport, true);

    ASSERT_TRUE (browser.setFileInput ("input[type=file]", AURALIS_STANDIN_SCREENSHOT_FILE, error)) << error;
    ASSERT_TRUE (browser.evaluate ("document.querySelector('form').requestSubmit(); true", error)) << error;

    const auto outcome = browser.waitFor ("(() => { const e = document.getElementById('outcome'); return e ? e.dataset.outcome : ''; })()", std::chrono::seconds (30), error);
    ASSERT_TRUE (outcome) << error;
    EXPECT_EQ (*outcome, "processed");

    const auto reply = standin.statusCheck ("device-A");
    EXPECT_EQ (reply["user_hrtf_info"]["hrtf_requested"], 1);
    EXPECT_EQ (reply["user_hrtf_info"]["status_code"], 200);

    const auto pulled = standin.pull ("device-A");
    ASSERT_EQ (pulled["status_code"], 200);
    const auto imgId = pulled["urls"].back()["img_id"].get<std::string>();
    EXPECT_EQ (imgId.substr (imgId.rfind ('_')), "_1");

    // The photo is kept in the state folder under its image id.
    EXPECT_EQ (TestFiles::read (standin.stateFolder() / StandinConstants::uploadsFolderName / (imgId + ".png")),
               TestFiles::read (AURALIS_STANDIN_SCREENSHOT_FILE));
}
