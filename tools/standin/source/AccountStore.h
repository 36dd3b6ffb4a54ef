#pragma once

#include "AccountRecords.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

//==============================================================================
/** The stand-in's accounts, data sets, upload codes and settings, kept in one
    SQLite database in the state folder so that they survive restarts.

    One object serves all request threads: every operation takes the object's
    lock and runs as one transaction. The operator command line opens the same
    file from another process; SQLite's own locking (WAL mode, busy time-out)
    keeps the two apart, and the server reads the database on every request,
    so changes made by the operator apply at once.

    Operations throw std::runtime_error when the database fails.
*/
class AccountStore
{
public:
    explicit AccountStore (std::filesystem::path databaseFileToUse);
    ~AccountStore();

    AccountStore (const AccountStore&) = delete;
    AccountStore& operator= (const AccountStore&) = delete;

    /** Opens or creates the database; false with a reason on failure. */
    bool open (std::string& error);

    //==============================================================================
    /** Records a status check of the device, creating its account with the
        default quotas on first contact, and returns the account. */
    Account checkIn (const std::string& deviceId);

    std::optional<Account> findAccount (const std::string& deviceId);

    /** The account whose device made the latest status check. */
    std::optional<Account> mostRecentlyCheckedAccount();

    std::vector<Account> allAccounts();

    /** The device's data sets, oldest first. */
    std::vector<DataSet> dataSetsOf (const std::string& deviceId);

    std::optional<DataSet> findDataSet (const std::string& hrtfId);

    //==============================================================================
    enum class PullOutcome
    {
        pulled,
        nothingToPull,
        pullsUsedUp
    };

    struct PullResult
    {
        PullOutcome outcome = PullOutcome::nothingToPull;
        std::vector<DataSet> dataSets;
    };

    /** Hands out the device's data sets, counting the pull against its quota. */
    PullResult pull (const std::string& deviceId);

    //==============================================================================
    /** A new upload code bound to the device. */
    std::string createUploadCode (const std::string& deviceId);

    std::optional<UploadCode> findUploadCode (const std::string& token);

    enum class SubmissionOutcome
    {
        accepted,
        unknownCode,
        codeUsed,
        submissionsUsedUp,
        unknownAccount
    };

    struct SubmissionResult
    {
        SubmissionOutcome outcome = SubmissionOutcome::unknownCode;
        DataSet dataSet;
    };

    /** A processed ear photo uploaded with the code: raises the account's
        hrtf_requested, adds a data set and uses the code up, all at once. */
    SubmissionResult submitWithCode (const std::string& token);

    /** The operator's processed upload without a phone: no code, no quota. */
    SubmissionResult submitForDevice (const std::string& deviceId);

    //==============================================================================
    struct QuotaChange
    {
        std::optional<int> hrtfAllowed, hrtfRequested, pullAllowed, pullRequested;
    };

    bool changeQuotas (const std::string& deviceId, const QuotaChange& change);
    bool setRefusal (const std::string& deviceId, const std::string& message);
    bool setUpdatesHeld (const std::string& deviceId, bool held);

    /** Forgets the device's data sets, codes and counters; quotas stay. */
    bool resetAccount (const std::string& deviceId);
    bool deleteAccount (const std::string& deviceId);

    /** A device named by its full id, by "latest" for the most recently
        checked one, or by a prefix that only one device id starts with. */
    std::optional<std::string> resolveDevice (const std::string& nameOrPrefix);

    //==============================================================================
    SoftwareRelease softwareRelease();
    void setSoftwareRelease (const SoftwareRelease& release);

    Quotas defaultQuotas();
    void setDefaultQuotas (const Quotas& quotas);

private:
    //==============================================================================
    std::string setting (const std::string& name, const std::string& fallback);
    void putSetting (const std::string& name, const std::string& value);
    std::optional<Account> readAccount (const std::string& deviceId);
    std::vector<DataSet> readDataSets (const std::string& deviceId);
    Account insertAccount (const std::string& deviceId);
    DataSet insertDataSet (const std::string& deviceId, int submission);
    void execute (const std::string& sql);

    std::filesystem::path databaseFile;
    sqlite3* database = nullptr;
    std::recursive_mutex lock;
};
