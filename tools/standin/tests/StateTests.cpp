#include "support/StandinTestServer.h"
#include "support/TestFiles.h"

#include "StandinConstants.h"

#include <gtest/gtest.h>

#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace
{
/** The subject alternative names of a PEM certificate, as "IP:..." and
        "DNS:..." entries. */
std::vector<std::string> alternativeNamesOf (const std::filesystem::path& file)
{
    std::vector<std::string> names;
    auto* stream = std::fopen (file.c_str(), "rb");

    if (stream == nullptr)
        return names;

    X509* certificate = PEM_read_X509 (stream, nullptr, nullptr, nullptr);
    std::fclose (stream);

    if (certificate == nullptr)
        return names;

    auto* entries = static_cast<GENERAL_NAMES*> (X509_get_ext_d2i (certificate, NID_subject_alt_name, nullptr, nullptr));

    for (int i = 0; i < sk_GENERAL_NAME_num (entries); ++i)
    {
        const auto* entry = sk_GENERAL_NAME_value (entries, i);

        if (entry->type == GEN_DNS)
            names.push_back ("DNS:" + std::string (reinterpret_cast<const char*> (ASN1_STRING_get0_data (entry->d.dNSName)), (size_t) ASN1_STRING_length (entry->d.dNSName)));
        else if (entry->type == GEN_IPADD && ASN1_STRING_length (entry->d.iPAddress) == 4)
        {
            const auto* bytes = ASN1_STRING_get0_data (entry->d.iPAddress);
            names.push_back ("IP:" + std::to_string (bytes[0]) + "." + std::to_string (bytes[1]) + "." + std::to_string (bytes[2]) + "." + std::to_string (bytes[3]));
        }
    }

    GENERAL_NAMES_free (entries);
    X509_free (certificate);
    return names;
}

bool contains (const std::vector<std::string>& names, const std::string& name)
{
    return std::find (names.begin(), names.end(), name) != names.end();
}
}

//==============================================================================
TEST (State, AccountsDataSetsCodesAndSettingsSurviveARestart)
{
    StandinTestServer standin;
    standin.statusCheck ("device-A");
    standin.operate ({ "upload", "device-A" });
    standin.operate ({ "software-update", "--latest", "0.1.0", "--forced" });

    const auto pulled = standin.pull ("device-A")["urls"].back();
    const auto qrPath = standin.pathOf (standin.qrCode()["qr_image_url"]);
    const auto uploadPath = standin.pathOf (TestFiles::decodeQrCode (standin.get (qrPath)->body));

    standin.restart();

    const auto reply = standin.statusCheck ("device-A", pulled["img_id"], pulled["auralis_id"], pulled["hrtf_id"]);
    EXPECT_EQ (reply["user_hrtf_info"]["hrtf_requested"], 1);
    EXPECT_EQ (reply["user_hrtf_info"]["pull_requested"], 1);
    EXPECT_EQ (reply["auralis_update_info"]["return_code"], 4);
    EXPECT_EQ (reply["software_update_info"]["latest_release_version"], "0.1.0");
    EXPECT_EQ (reply["software_update_info"]["force_update"], 1);

    EXPECT_EQ (standin.pull ("device-A")["urls"].back()["hrtf_id"], pulled["hrtf_id"]);
    EXPECT_EQ (standin.get (standin.pathOf (pulled["hrtf_url"]))->status, 200);

    // The QR code handed out before the restart still leads to its page.
    EXPECT_EQ (standin.get (qrPath)->status, 200);
    const auto client = standin.client();
    const auto upload = TestFiles::uploadPhoto (*client, uploadPath, TestFiles::minimalJpeg (32, 32), "ear.jpg", "image/jpeg");
    ASSERT_TRUE (upload);
    EXPECT_EQ (upload->status, 200);
    EXPECT_EQ (standin.statusCheck ("device-A")["user_hrtf_info"]["hrtf_requested"], 2);
}

TEST (State, CertificateAuthorityIsKeptAndTheServerCertificateNamesLoopbackBothWays)
{
    StandinTestServer standin;
    const auto caFile = standin.server().caCertificateFile();
    const auto ca = TestFiles::read (caFile);
    ASSERT_FALSE (ca.empty());

    const auto names = alternativeNamesOf (standin.stateFolder() / StandinConstants::tlsFolderName / "server.pem");
    EXPECT_TRUE (contains (names, "IP:127.0.0.1"));
    EXPECT_TRUE (contains (names, "DNS:127.0.0.1"));
    EXPECT_TRUE (contains (names, "DNS:localhost"));

    // A client checking against the CA accepts the server under both names.
    for (const std::string host : { "127.0.0.1", "localhost" })
    {
        const auto result = standin.client (host)->Get (StandinConstants::screenshotPath);
        ASSERT_TRUE (result) << host << ": " << httplib::to_string (result.error());
        EXPECT_EQ (result->status, 200);
    }

    standin.restart();
    EXPECT_EQ (TestFiles::read (caFile), ca);

    // A public address adds its host to a new server certificate, same CA,
    // and the replies' addresses start with it.
    standin.stop();
    standin.options.publicUrl = "https://auralis-standin.test:8443/";
    standin.start();
    EXPECT_EQ (TestFiles::read (caFile), ca);
    EXPECT_TRUE (contains (alternativeNamesOf (standin.stateFolder() / StandinConstants::tlsFolderName / "server.pem"), "DNS:auralis-standin.test"));

    standin.statusCheck ("device-A");
    const auto address = standin.qrCode()["qr_image_url"].get<std::string>();
    EXPECT_EQ (address.rfind ("https://auralis-standin.test:8443/qr/", 0), 0u) << address;
}
