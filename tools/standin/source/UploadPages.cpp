#include "UploadPages.h"

#include "AccountRecords.h"
#include "StandinConstants.h"

namespace
{
std::string page (const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n"
           "<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>"
           + UploadPages::escape (title) + "</title>\n"
                                           "<style>\n"
                                           "body { margin: 0; font-family: sans-serif; background: #1d1d22; color: #ffffff; }\n"
                                           "main { max-width: 32em; margin: 0 auto; padding: 1.5em; }\n"
                                           "h1 { font-size: 1.5em; color: #b92036; }\n"
                                           "p { line-height: 1.4; }\n"
                                           "input[type=file] { display: block; width: 100%; margin: 1.5em 0; font-size: 1em; }\n"
                                           "button { width: 100%; padding: 0.9em; font-size: 1.1em; border: 0; border-radius: 0.4em; background: #b92036; color: #ffffff; }\n"
                                           "</style>\n</head>\n<body>\n<main>\n"
           + body + "</main>\n</body>\n</html>\n";
}
}

std::string UploadPages::escape (const std::string& text)
{
    std::string escaped;

    for (char c : text)
    {
        switch (c)
        {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
                break;
        }
    }

    return escaped;
}

std::string UploadPages::uploadForm (const std::string& formAddress, std::size_t maxUploadBytes)
{
    const auto megabytes = std::to_string ((maxUploadBytes + 1024 * 1024 - 1) / (1024 * 1024));

    return page ("Auralis ear photo",
                 "<h1>Upload your ear photo</h1>\n"
                 "<p>Take a sharp photo of your right ear from the side, in good light, with nothing covering it. "
                 "JPEG or PNG, up to "
                     + megabytes + " MB.</p>\n"
                                   "<form method=\"post\" action=\""
                     + escape (formAddress) + "\" enctype=\"multipart/form-data\">\n"
                                              "<input type=\"file\" name=\""
                     + StandinConstants::uploadFieldName + "\" accept=\"image/jpeg,image/png\" capture=\"environment\" required>\n"
                                                           "<button type=\"submit\">Upload</button>\n"
                                                           "</form>\n");
}

std::string UploadPages::outcome (const std::string& outcomeWord, const std::string& title, const std::string& text)
{
    return page (title,
                 "<h1>" + escape (title) + "</h1>\n"
                     + "<p id=\"outcome\" data-outcome=\"" + escape (outcomeWord) + "\">" + escape (text) + "</p>\n");
}

std::string UploadPages::downloadPage (const SoftwareRelease& release)
{
    std::string body = "<h1>Auralis with VST Spherion " + escape (release.latestVersion) + "</h1>\n";

    if (! release.releaseNotes.empty())
        body += "<p>" + escape (release.releaseNotes) + "</p>\n";

    body += "<p>This stand-in service has no installer to offer; the address only shows where a download would be.</p>\n";
    return page ("Auralis download", body);
}
