#pragma once

#include <ProductVersion.h>
#include <juce_core/juce_core.h>

//==============================================================================
/** The remote service's fixed values: its address, the client's identity, the
    header block and limits of every request, and the endpoint paths. The
    address is compiled in; users get no way to change it.
*/
namespace ServiceConstants
{
/** The service's origin (https scheme and host, no path), compiled in. */
juce::String serviceBaseAddress();

/** Tests point the service client at a server of their own. */
void setServiceBaseAddressForTesting (const juce::String& address);

//==============================================================================
inline const juce::String clientKey { "7c1e5a90b2d34f6e8a0b9c3d2e1f4a5b" };
inline const juce::String clientName { "korvane_eval_qr_code" };

/** Extra headers of every POST: three lines joined by a single line feed. */
inline const juce::String requestHeaders { "User-Agent: vantora_auralis\nContent-Type: application/json\nAccept-Encoding: gzip, deflate" };

/** Added to every request where the system's HTTP stack keeps connections
    open between requests (Windows): it would send a later request over a
    connection the server has closed in the meantime, and that request would
    fail without a reply. Elsewhere the framework opens a new connection for
    every request anyway. */
#if JUCE_WINDOWS
inline const juce::String connectionHeader { "Connection: close" };
#else
inline const juce::String connectionHeader {};
#endif

inline const juce::String productName { "AuralisOnboardingApp" };
inline const juce::String productVersion { ProductVersion::text };

constexpr int postTimeoutMs = 60000;
constexpr int maxRedirects = 5;

/** Connections a download opens while the server announces no length. */
constexpr int maxConnectionsPerDownload = 5;

/** Download attempts of the picture workers; the HRTF pull makes one. */
constexpr int maxImageDownloadAttempts = 5;

//==============================================================================
/** Endpoint paths; clientName is appended to each. */
inline const juce::String statusCheckPath { "status-check/v1.0?client_name=" };
inline const juce::String pullClientPath { "pull-client/v1.1?client_name=" };
inline const juce::String qrCodeGeneratorPath { "qr-code-generator/v1.0?client_name=" };

//==============================================================================
/** A reply body larger than this is no usable reply: parsing a JSON text
        takes about ten times its size in memory. */
constexpr juce::int64 maxReplyBytes = 4 * 1024 * 1024;

/** A reply nested deeper than this is no usable reply: the framework's
        JSON parser recurses once per level and would overflow the stack. */
constexpr int maxReplyNestingDepth = 64;

/** A download larger than this fails rather than exhausting memory. */
constexpr juce::int64 maxDownloadBytes = 256 * 1024 * 1024;

/** A download whose connection cannot be made, or whose data stalls (below
    100 bytes a second), for this long fails instead of holding its worker,
    the busy overlay and the close button for good. */
constexpr int downloadStallTimeoutMs = 30000;

/** The stall time-out in force: downloadStallTimeoutMs unless a test has set
    a shorter one. */
int currentDownloadStallTimeoutMs();
void setDownloadStallTimeoutForTesting (int milliseconds);
}
