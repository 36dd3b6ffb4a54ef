#pragma once

#include <filesystem>
#include <string>
#include <vector>

//==============================================================================
/** The stand-in's own throwaway certificate authority and the server
    certificate it issues, kept as PEM files in one folder of the state folder.

    prepare() creates whatever is missing: a new CA on first start, and a new
    server certificate whenever the old one is missing, was not issued by the
    CA, runs out within a week or does not name every host name asked for.
    The server certificate names 127.0.0.1 and localhost both as IP address
    and as DNS name, since some TLS stacks match DNS names only.
*/
class CertificateAuthority
{
public:
    explicit CertificateAuthority (std::filesystem::path folderToUse);

    /** Creates or renews the files; false with a reason when that fails. */
    bool prepare (const std::vector<std::string>& extraHostNames, std::string& error);

    std::filesystem::path caCertificateFile() const { return folder / "ca.pem"; }
    std::filesystem::path caKeyFile() const { return folder / "ca.key"; }
    std::filesystem::path serverCertificateFile() const { return folder / "server.pem"; }
    std::filesystem::path serverKeyFile() const { return folder / "server.key"; }

    /** The names every server certificate carries, besides extra ones. */
    static std::vector<std::string> standardHostNames();

private:
    std::filesystem::path folder;
};
