#include "CertificateAuthority.h"

#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>

namespace
{
using KeyPointer = std::unique_ptr<EVP_PKEY, decltype (&EVP_PKEY_free)>;
using CertificatePointer = std::unique_ptr<X509, decltype (&X509_free)>;

constexpr long caLifetimeDays = 3650;
constexpr long serverLifetimeDays = 365;
constexpr long renewalMarginSeconds = 7L * 24 * 3600;

bool isIpAddress (const std::string& name)
{
    unsigned char buffer[16];
    return inet_pton (AF_INET, name.c_str(), buffer) == 1 || inet_pton (AF_INET6, name.c_str(), buffer) == 1;
}

bool isIpv4Address (const std::string& name)
{
    unsigned char buffer[4];
    return inet_pton (AF_INET, name.c_str(), buffer) == 1;
}

KeyPointer makeKey()
{
    return KeyPointer (EVP_EC_gen ("P-256"), EVP_PKEY_free);
}

KeyPointer readKey (const std::filesystem::path& file)
{
    KeyPointer key (nullptr, EVP_PKEY_free);

    if (auto* stream = std::fopen (file.c_str(), "rb"))
    {
        key.reset (PEM_read_PrivateKey (stream, nullptr, nullptr, nullptr));
        std::fclose (stream);
    }

    return key;
}

CertificatePointer readCertificate (const std::filesystem::path& file)
{
    CertificatePointer certificate (nullptr, X509_free);

    if (auto* stream = std::fopen (file.c_str(), "rb"))
    {
        certificate.reset (PEM_read_X509 (stream, nullptr, nullptr, nullptr));
        std::fclose (stream);
    }

    return certificate;
}

/** Writes a PEM file through a temporary file and a rename, so a reader
        never sees half a key; keys are readable by their owner only. */
template <typename Writer>
bool writePemFile (const std::filesystem::path& file, bool secret, Writer&& write)
{
    auto temporary = file;
    temporary += ".tmp";

    const int descriptor = ::open (temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, secret ? 0600 : 0644);

    if (descriptor < 0)
        return false;

    auto* stream = ::fdopen (descriptor, "wb");

    if (stream == nullptr)
    {
        ::close (descriptor);
        return false;
    }

    const bool written = write (stream) == 1;
    const bool closed = std::fclose (stream) == 0;

    if (! (written && closed))
    {
        std::filesystem::remove (temporary);
        return false;
    }

    std::error_code renameError;
    std::filesystem::rename (temporary, file, renameError);
    return ! renameError;
}

bool addExtension (X509* certificate, X509* issuer, int nid, const std::string& value)
{
    X509V3_CTX context;
    X509V3_set_ctx (&context, issuer, certificate, nullptr, nullptr, 0);

    auto* extension = X509V3_EXT_conf_nid (nullptr, &context, nid, value.c_str());

    if (extension == nullptr)
        return false;

    const bool added = X509_add_ext (certificate, extension, -1) == 1;
    X509_EXTENSION_free (extension);
    return added;
}

bool setRandomSerial (X509* certificate)
{
    unsigned char bytes[16];

    if (RAND_bytes (bytes, sizeof (bytes)) != 1)
        return false;

    bytes[0] &= 0x7f; // a positive serial number

    std::unique_ptr<BIGNUM, decltype (&BN_free)> number (BN_bin2bn (bytes, sizeof (bytes), nullptr), BN_free);
    return number != nullptr && BN_to_ASN1_INTEGER (number.get(), X509_get_serialNumber (certificate)) != nullptr;
}

CertificatePointer makeCertificate (EVP_PKEY* subjectKey, const std::string& commonName, long lifetimeDays)
{
    CertificatePointer certificate (X509_new(), X509_free);

    if (certificate == nullptr
        || X509_set_version (certificate.get(), 2) != 1
        || ! setRandomSerial (certificate.get())
        || X509_gmtime_adj (X509_getm_notBefore (certificate.get()), -3600) == nullptr
        || X509_gmtime_adj (X509_getm_notAfter (certificate.get()), lifetimeDays * 24 * 3600) == nullptr
        || X509_set_pubkey (certificate.get(), subjectKey) != 1)
        return CertificatePointer (nullptr, X509_free);

    auto* name = X509_get_subject_name (certificate.get());
    X509_NAME_add_entry_by_txt (name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*> ("Auralis stand-in service"), -1, -1, 0);
    X509_NAME_add_entry_by_txt (name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*> (commonName.c_str()), -1, -1, 0);
    return certificate;
}

std::string subjectAltNames (const std::vector<std::string>& names)
{
    std::string list;

    for (const auto& name : names)
    {
        auto add = [&list] (const std::string& entry)
        {
            if (! list.empty())
                list += ",";

            list += entry;
        };

        if (isIpAddress (name))
            add ("IP:" + name);

        if (! isIpAddress (name) || isIpv4Address (name))
            add ("DNS:" + name);
    }

    return list;
}

bool namesEveryHost (X509* certificate, const std::vector<std::string>& names)
{
    for (const auto& name : names)
    {
        if (isIpAddress (name) && X509_check_ip_asc (certificate, name.c_str(), 0) != 1)
            return false;

        if ((! isIpAddress (name) || isIpv4Address (name))
            && X509_check_host (certificate, name.c_str(), name.size(), X509_CHECK_FLAG_NEVER_CHECK_SUBJECT, nullptr) != 1)
            return false;
    }

    return true;
}

bool validForAWhile (X509* certificate)
{
    std::time_t soon = std::time (nullptr) + renewalMarginSeconds;
    return X509_cmp_time (X509_get0_notAfter (certificate), &soon) > 0;
}
}

//==============================================================================
CertificateAuthority::CertificateAuthority (std::filesystem::path folderToUse)
    : folder (std::move (folderToUse))
{
}

std::vector<std::string> CertificateAuthority::standardHostNames()
{
    return { "127.0.0.1", "localhost", "::1" };
}

bool CertificateAuthority::prepare (const std::vector<std::string>& extraHostNames, std::string& error)
{
    std::error_code folderError;
    std::filesystem::create_directories (folder, folderError);

    if (folderError)
    {
        error = "cannot create " + folder.string() + ": " + folderError.message();
        return false;
    }

    auto hostNames = standardHostNames();

    for (const auto& name : extraHostNames)
        if (! name.empty())
            hostNames.push_back (name);

    auto caKey = readKey (caKeyFile());
    auto caCertificate = readCertificate (caCertificateFile());
    bool caRenewed = false;

    if (caKey == nullptr || caCertificate == nullptr
        || X509_check_private_key (caCertificate.get(), caKey.get()) != 1
        || ! validForAWhile (caCertificate.get()))
    {
        caKey = makeKey();
        caCertificate = caKey != nullptr ? makeCertificate (caKey.get(), "Auralis stand-in CA", caLifetimeDays)
                                         : CertificatePointer (nullptr, X509_free);

        if (caCertificate == nullptr)
        {
            error = "cannot create the CA certificate";
            return false;
        }

        auto* ca = caCertificate.get();
        X509_set_issuer_name (ca, X509_get_subject_name (ca));

        if (! addExtension (ca, ca, NID_basic_constraints, "critical,CA:TRUE,pathlen:0")
            || ! addExtension (ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign")
            || ! addExtension (ca, ca, NID_subject_key_identifier, "hash")
            || ! addExtension (ca, ca, NID_authority_key_identifier, "keyid:always")
            || X509_sign (ca, caKey.get(), EVP_sha256()) == 0)
        {
            error = "cannot sign the CA certificate";
            return false;
        }

        if (! writePemFile (caKeyFile(), true, [&] (FILE* f)
                            { return PEM_write_PrivateKey (f, caKey.get(), nullptr, nullptr, 0, nullptr, nullptr); })
            || ! writePemFile (caCertificateFile(), false, [&] (FILE* f)
                               { return PEM_write_X509 (f, ca); }))
        {
            error = "cannot write the CA files into " + folder.string();
            return false;
        }

        caRenewed = true;
    }

    auto serverKey = readKey (serverKeyFile());
    auto serverCertificate = readCertificate (serverCertificateFile());

    const bool serverUsable = ! caRenewed
                              && serverKey != nullptr
                              && serverCertificate != nullptr
                              && X509_check_private_key (serverCertificate.get(), serverKey.get()) == 1
                              && X509_verify (serverCertificate.get(), caKey.get()) == 1
                              && validForAWhile (serverCertificate.get())
                              && namesEveryHost (serverCertificate.get(), hostNames);

    if (serverUsable)
        return true;

    serverKey = makeKey();
    serverCertificate = serverKey != nullptr ? makeCertificate (serverKey.get(), "127.0.0.1", serverLifetimeDays)
                                             : CertificatePointer (nullptr, X509_free);

    if (serverCertificate == nullptr)
    {
        error = "cannot create the server certificate";
        return false;
    }

    auto* server = serverCertificate.get();
    X509_set_issuer_name (server, X509_get_subject_name (caCertificate.get()));

    if (! addExtension (server, caCertificate.get(), NID_basic_constraints, "critical,CA:FALSE")
        || ! addExtension (server, caCertificate.get(), NID_key_usage, "critical,digitalSignature")
        || ! addExtension (server, caCertificate.get(), NID_ext_key_usage, "serverAuth")
        || ! addExtension (server, caCertificate.get(), NID_subject_key_identifier, "hash")
        || ! addExtension (server, caCertificate.get(), NID_authority_key_identifier, "keyid:always")
        || ! addExtension (server, caCertificate.get(), NID_subject_alt_name, subjectAltNames (hostNames))
        || X509_sign (server, caKey.get(), EVP_sha256()) == 0)
    {
        error = "cannot sign the server certificate";
        return false;
    }

    if (! writePemFile (serverKeyFile(), true, [&] (FILE* f)
                        { return PEM_write_PrivateKey (f, serverKey.get(), nullptr, nullptr, 0, nullptr, nullptr); })
        || ! writePemFile (serverCertificateFile(), false, [&] (FILE* f)
                           { return PEM_write_X509 (f, server); }))
    {
        error = "cannot write the server certificate into " + folder.string();
        return false;
    }

    return true;
}
