#include "AccountStore.h"

#include "Identifiers.h"
#include "StandinConstants.h"

#include <sqlite3.h>

#include <stdexcept>

namespace
{
const char* const schema = R"sql(
        CREATE TABLE IF NOT EXISTS accounts (
            device_id TEXT PRIMARY KEY,
            hrtf_allowed INTEGER NOT NULL,
            hrtf_requested INTEGER NOT NULL DEFAULT 0,
            pull_allowed INTEGER NOT NULL,
            pull_requested INTEGER NOT NULL DEFAULT 0,
            last_pulled_sequence INTEGER NOT NULL DEFAULT 0,
            refusal_message TEXT NOT NULL DEFAULT '',
            updates_held INTEGER NOT NULL DEFAULT 0,
            check_order INTEGER NOT NULL DEFAULT 0,
            created_at TEXT NOT NULL,
            last_checked_at TEXT NOT NULL DEFAULT '');
        CREATE TABLE IF NOT EXISTS data_sets (
            sequence INTEGER PRIMARY KEY AUTOINCREMENT,
            device_id TEXT NOT NULL REFERENCES accounts (device_id) ON DELETE CASCADE,
            submission INTEGER NOT NULL,
            hrtf_id TEXT NOT NULL UNIQUE,
            img_id TEXT NOT NULL,
            auralis_id TEXT NOT NULL,
            created_at TEXT NOT NULL);
        CREATE TABLE IF NOT EXISTS upload_codes (
            token TEXT PRIMARY KEY,
            device_id TEXT NOT NULL REFERENCES accounts (device_id) ON DELETE CASCADE,
            used INTEGER NOT NULL DEFAULT 0,
            created_at TEXT NOT NULL);
        CREATE TABLE IF NOT EXISTS settings (
            name TEXT PRIMARY KEY,
            value TEXT NOT NULL);
    )sql";

const char* const accountColumns = "device_id, hrtf_allowed, hrtf_requested, pull_allowed, pull_requested, "
                                   "last_pulled_sequence, refusal_message, updates_held, created_at, last_checked_at";

const char* const dataSetColumns = "sequence, device_id, submission, hrtf_id, img_id, auralis_id, created_at";

[[noreturn]] void fail (sqlite3* database, const std::string& what)
{
    throw std::runtime_error (what + ": " + sqlite3_errmsg (database));
}

//==============================================================================
/** One prepared statement, finalised when it goes out of scope. */
class Statement
{
public:
    Statement (sqlite3* databaseToUse, const std::string& sql)
        : database (databaseToUse)
    {
        if (sqlite3_prepare_v2 (database, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            fail (database, "cannot prepare a statement");
    }

    ~Statement() { sqlite3_finalize (statement); }

    Statement (const Statement&) = delete;
    Statement& operator= (const Statement&) = delete;

    Statement& bind (int index, const std::string& text)
    {
        sqlite3_bind_text (statement, index, text.data(), (int) text.size(), SQLITE_TRANSIENT);
        return *this;
    }

    Statement& bind (int index, long long number)
    {
        sqlite3_bind_int64 (statement, index, number);
        return *this;
    }

    /** True while there is a row to read. */
    bool step()
    {
        const int result = sqlite3_step (statement);

        if (result == SQLITE_ROW)
            return true;

        if (result == SQLITE_DONE)
            return false;

        fail (database, "cannot run a statement");
    }

    std::string text (int column) const
    {
        const auto* characters = reinterpret_cast<const char*> (sqlite3_column_text (statement, column));
        return characters != nullptr ? std::string (characters, (size_t) sqlite3_column_bytes (statement, column)) : std::string();
    }

    long long integer (int column) const { return sqlite3_column_int64 (statement, column); }

private:
    sqlite3* database;
    sqlite3_stmt* statement = nullptr;
};

//==============================================================================
/** A write transaction that rolls back unless committed. */
class Transaction
{
public:
    explicit Transaction (sqlite3* databaseToUse)
        : database (databaseToUse)
    {
        if (sqlite3_exec (database, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail (database, "cannot begin a transaction");
    }

    ~Transaction()
    {
        if (! committed)
            sqlite3_exec (database, "ROLLBACK", nullptr, nullptr, nullptr);
    }

    Transaction (const Transaction&) = delete;
    Transaction& operator= (const Transaction&) = delete;

    void commit()
    {
        if (sqlite3_exec (database, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail (database, "cannot commit a transaction");

        committed = true;
    }

private:
    sqlite3* database;
    bool committed = false;
};

Account accountFromRow (const Statement& row)
{
    Account account;
    account.deviceId = row.text (0);
    account.hrtfAllowed = (int) row.integer (1);
    account.hrtfRequested = (int) row.integer (2);
    account.pullAllowed = (int) row.integer (3);
    account.pullRequested = (int) row.integer (4);
    account.lastPulledSequence = row.integer (5);
    account.refusalMessage = row.text (6);
    account.updatesHeld = row.integer (7) != 0;
    account.createdAt = row.text (8);
    account.lastCheckedAt = row.text (9);
    return account;
}

DataSet dataSetFromRow (const Statement& row)
{
    DataSet dataSet;
    dataSet.sequence = row.integer (0);
    dataSet.deviceId = row.text (1);
    dataSet.submission = (int) row.integer (2);
    dataSet.hrtfId = row.text (3);
    dataSet.imgId = row.text (4);
    dataSet.auralisId = row.text (5);
    dataSet.createdAt = row.text (6);
    return dataSet;
}

int toInt (const std::string& text, int fallback)
{
    try
    {
        return std::stoi (text);
    }
    catch (const std::exception&)
    {
        return fallback;
    }
}
}

//==============================================================================
AccountStore::AccountStore (std::filesystem::path databaseFileToUse)
    : databaseFile (std::move (databaseFileToUse))
{
}

AccountStore::~AccountStore()
{
    if (database != nullptr)
        sqlite3_close (database);
}

bool AccountStore::open (std::string& error)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);

    if (database != nullptr)
        return true;

    std::error_code folderError;
    std::filesystem::create_directories (databaseFile.parent_path(), folderError);

    if (sqlite3_open_v2 (databaseFile.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK)
    {
        error = "cannot open " + databaseFile.string() + (database != nullptr ? std::string (": ") + sqlite3_errmsg (database) : std::string());
        sqlite3_close (database);
        database = nullptr;
        return false;
    }

    sqlite3_busy_timeout (database, 10000);

    try
    {
        execute ("PRAGMA journal_mode = WAL");
        execute ("PRAGMA foreign_keys = ON");
        execute (schema);
    }
    catch (const std::exception& e)
    {
        error = e.what();
        sqlite3_close (database);
        database = nullptr;
        return false;
    }

    return true;
}

void AccountStore::execute (const std::string& sql)
{
    char* message = nullptr;

    if (sqlite3_exec (database, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
    {
        const std::string reason = message != nullptr ? message : "unknown error";
        sqlite3_free (message);
        throw std::runtime_error ("database error: " + reason);
    }
}

//==============================================================================
std::optional<Account> AccountStore::readAccount (const std::string& deviceId)
{
    Statement query (database, std::string ("SELECT ") + accountColumns + " FROM accounts WHERE device_id = ?");
    query.bind (1, deviceId);

    if (query.step())
        return accountFromRow (query);

    return std::nullopt;
}

std::vector<DataSet> AccountStore::readDataSets (const std::string& deviceId)
{
    Statement query (database, std::string ("SELECT ") + dataSetColumns + " FROM data_sets WHERE device_id = ? ORDER BY sequence");
    query.bind (1, deviceId);

    std::vector<DataSet> dataSets;

    while (query.step())
        dataSets.push_back (dataSetFromRow (query));

    return dataSets;
}

Account AccountStore::insertAccount (const std::string& deviceId)
{
    const auto quotas = defaultQuotas();

    Statement insert (database, "INSERT INTO accounts (device_id, hrtf_allowed, pull_allowed, created_at) VALUES (?, ?, ?, ?)");
    insert.bind (1, deviceId).bind (2, (long long) quotas.hrtfAllowed).bind (3, (long long) quotas.pullAllowed).bind (4, Identifiers::utcNow());
    insert.step();

    return *readAccount (deviceId);
}

DataSet AccountStore::insertDataSet (const std::string& deviceId, int submission)
{
    Statement raise (database, "UPDATE accounts SET hrtf_requested = ? WHERE device_id = ?");
    raise.bind (1, (long long) submission).bind (2, deviceId);
    raise.step();

    DataSet dataSet;
    dataSet.deviceId = deviceId;
    dataSet.submission = submission;
    dataSet.hrtfId = "hrtf_" + Identifiers::randomHex (8);
    dataSet.imgId = "img_" + Identifiers::randomHex (6) + "_" + std::to_string (submission);
    dataSet.auralisId = "auralis_" + Identifiers::randomHex (8);
    dataSet.createdAt = Identifiers::utcNow();

    Statement insert (database, "INSERT INTO data_sets (device_id, submission, hrtf_id, img_id, auralis_id, created_at) VALUES (?, ?, ?, ?, ?, ?)");
    insert.bind (1, deviceId).bind (2, (long long) submission).bind (3, dataSet.hrtfId).bind (4, dataSet.imgId).bind (5, dataSet.auralisId).bind (6, dataSet.createdAt);
    insert.step();

    dataSet.sequence = sqlite3_last_insert_rowid (database);
    return dataSet;
}

//==============================================================================
Account AccountStore::checkIn (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    if (! readAccount (deviceId))
        insertAccount (deviceId);

    Statement touch (database, "UPDATE accounts SET check_order = (SELECT COALESCE (MAX (check_order), 0) + 1 FROM accounts), "
                               "last_checked_at = ? WHERE device_id = ?");
    touch.bind (1, Identifiers::utcNow()).bind (2, deviceId);
    touch.step();

    auto account = *readAccount (deviceId);
    transaction.commit();
    return account;
}

std::optional<Account> AccountStore::findAccount (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    return readAccount (deviceId);
}

std::optional<Account> AccountStore::mostRecentlyCheckedAccount()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement query (database, std::string ("SELECT ") + accountColumns + " FROM accounts WHERE check_order > 0 ORDER BY check_order DESC LIMIT 1");

    if (query.step())
        return accountFromRow (query);

    return std::nullopt;
}

std::vector<Account> AccountStore::allAccounts()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement query (database, std::string ("SELECT ") + accountColumns + " FROM accounts ORDER BY created_at, device_id");

    std::vector<Account> accounts;

    while (query.step())
        accounts.push_back (accountFromRow (query));

    return accounts;
}

std::vector<DataSet> AccountStore::dataSetsOf (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    return readDataSets (deviceId);
}

std::optional<DataSet> AccountStore::findDataSet (const std::string& hrtfId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement query (database, std::string ("SELECT ") + dataSetColumns + " FROM data_sets WHERE hrtf_id = ?");
    query.bind (1, hrtfId);

    if (query.step())
        return dataSetFromRow (query);

    return std::nullopt;
}

//==============================================================================
AccountStore::PullResult AccountStore::pull (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    PullResult result;
    const auto account = readAccount (deviceId);

    if (! account)
        return result;

    result.dataSets = readDataSets (deviceId);

    if (result.dataSets.empty())
        return result;

    if (account->pullRequested >= account->pullAllowed)
    {
        result.outcome = PullOutcome::pullsUsedUp;
        result.dataSets.clear();
        return result;
    }

    Statement count (database, "UPDATE accounts SET pull_requested = pull_requested + 1, last_pulled_sequence = ? WHERE device_id = ?");
    count.bind (1, (long long) result.dataSets.back().sequence).bind (2, deviceId);
    count.step();

    transaction.commit();
    result.outcome = PullOutcome::pulled;
    return result;
}

//==============================================================================
std::string AccountStore::createUploadCode (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    const auto token = Identifiers::randomHex (16);

    Statement insert (database, "INSERT INTO upload_codes (token, device_id, created_at) VALUES (?, ?, ?)");
    insert.bind (1, token).bind (2, deviceId).bind (3, Identifiers::utcNow());
    insert.step();

    return token;
}

std::optional<UploadCode> AccountStore::findUploadCode (const std::string& token)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement query (database, "SELECT token, device_id, used FROM upload_codes WHERE token = ?");
    query.bind (1, token);

    if (! query.step())
        return std::nullopt;

    UploadCode code;
    code.token = query.text (0);
    code.deviceId = query.text (1);
    code.used = query.integer (2) != 0;
    return code;
}

AccountStore::SubmissionResult AccountStore::submitWithCode (const std::string& token)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    SubmissionResult result;
    Statement query (database, "SELECT device_id, used FROM upload_codes WHERE token = ?");
    query.bind (1, token);

    if (! query.step())
        return result;

    if (query.integer (1) != 0)
    {
        result.outcome = SubmissionOutcome::codeUsed;
        return result;
    }

    const auto deviceId = query.text (0);
    const auto account = readAccount (deviceId);

    if (! account)
    {
        result.outcome = SubmissionOutcome::unknownAccount;
        return result;
    }

    if (account->hrtfRequested >= account->hrtfAllowed)
    {
        result.outcome = SubmissionOutcome::submissionsUsedUp;
        return result;
    }

    result.dataSet = insertDataSet (deviceId, account->hrtfRequested + 1);

    Statement useUp (database, "UPDATE upload_codes SET used = 1 WHERE token = ?");
    useUp.bind (1, token);
    useUp.step();

    transaction.commit();
    result.outcome = SubmissionOutcome::accepted;
    return result;
}

AccountStore::SubmissionResult AccountStore::submitForDevice (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    SubmissionResult result;
    const auto account = readAccount (deviceId);

    if (! account)
    {
        result.outcome = SubmissionOutcome::unknownAccount;
        return result;
    }

    result.dataSet = insertDataSet (deviceId, account->hrtfRequested + 1);
    transaction.commit();
    result.outcome = SubmissionOutcome::accepted;
    return result;
}

//==============================================================================
bool AccountStore::changeQuotas (const std::string& deviceId, const QuotaChange& change)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    auto account = readAccount (deviceId);

    if (! account)
        return false;

    Statement update (database, "UPDATE accounts SET hrtf_allowed = ?, hrtf_requested = ?, pull_allowed = ?, pull_requested = ? WHERE device_id = ?");
    update.bind (1, (long long) change.hrtfAllowed.value_or (account->hrtfAllowed))
        .bind (2, (long long) change.hrtfRequested.value_or (account->hrtfRequested))
        .bind (3, (long long) change.pullAllowed.value_or (account->pullAllowed))
        .bind (4, (long long) change.pullRequested.value_or (account->pullRequested))
        .bind (5, deviceId);
    update.step();

    transaction.commit();
    return true;
}

bool AccountStore::setRefusal (const std::string& deviceId, const std::string& message)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement update (database, "UPDATE accounts SET refusal_message = ? WHERE device_id = ?");
    update.bind (1, message).bind (2, deviceId);
    update.step();
    return sqlite3_changes (database) > 0;
}

bool AccountStore::setUpdatesHeld (const std::string& deviceId, bool held)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement update (database, "UPDATE accounts SET updates_held = ? WHERE device_id = ?");
    update.bind (1, held ? 1LL : 0LL).bind (2, deviceId);
    update.step();
    return sqlite3_changes (database) > 0;
}

bool AccountStore::resetAccount (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    if (! readAccount (deviceId))
        return false;

    for (const auto* sql : { "DELETE FROM data_sets WHERE device_id = ?",
                             "DELETE FROM upload_codes WHERE device_id = ?",
                             "UPDATE accounts SET hrtf_requested = 0, pull_requested = 0, last_pulled_sequence = 0 WHERE device_id = ?" })
    {
        Statement statement (database, sql);
        statement.bind (1, deviceId);
        statement.step();
    }

    transaction.commit();
    return true;
}

bool AccountStore::deleteAccount (const std::string& deviceId)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Statement remove (database, "DELETE FROM accounts WHERE device_id = ?");
    remove.bind (1, deviceId);
    remove.step();
    return sqlite3_changes (database) > 0;
}

std::optional<std::string> AccountStore::resolveDevice (const std::string& nameOrPrefix)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);

    if (nameOrPrefix == "latest")
    {
        if (auto account = mostRecentlyCheckedAccount())
            return account->deviceId;

        return std::nullopt;
    }

    if (nameOrPrefix.empty())
        return std::nullopt;

    if (readAccount (nameOrPrefix))
        return nameOrPrefix;

    Statement query (database, "SELECT device_id FROM accounts WHERE substr (device_id, 1, ?) = ? LIMIT 2");
    query.bind (1, (long long) nameOrPrefix.size()).bind (2, nameOrPrefix);

    std::vector<std::string> matches;

    while (query.step())
        matches.push_back (query.text (0));

    if (matches.size() == 1)
        return matches.front();

    return std::nullopt;
}

//==============================================================================
std::string AccountStore::setting (const std::string& name, const std::string& fallback)
{
    Statement query (database, "SELECT value FROM settings WHERE name = ?");
    query.bind (1, name);
    return query.step() ? query.text (0) : fallback;
}

void AccountStore::putSetting (const std::string& name, const std::string& value)
{
    Statement upsert (database, "INSERT INTO settings (name, value) VALUES (?, ?) ON CONFLICT (name) DO UPDATE SET value = excluded.value");
    upsert.bind (1, name).bind (2, value);
    upsert.step();
}

SoftwareRelease AccountStore::softwareRelease()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);

    SoftwareRelease release;
    release.latestVersion = setting ("latest_version", StandinConstants::currentProgramVersion);
    release.downloadUrl = setting ("download_url", {});
    release.releaseNotes = setting ("release_notes", {});
    release.forced = setting ("forced", "0") == "1";
    release.oldestSupportedVersion = setting ("oldest_supported_version", {});
    return release;
}

void AccountStore::setSoftwareRelease (const SoftwareRelease& release)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    putSetting ("latest_version", release.latestVersion);
    putSetting ("download_url", release.downloadUrl);
    putSetting ("release_notes", release.releaseNotes);
    putSetting ("forced", release.forced ? "1" : "0");
    putSetting ("oldest_supported_version", release.oldestSupportedVersion);

    transaction.commit();
}

Quotas AccountStore::defaultQuotas()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);

    Quotas quotas;
    quotas.hrtfAllowed = toInt (setting ("default_hrtf_allowed", {}), StandinConstants::defaultHrtfAllowed);
    quotas.pullAllowed = toInt (setting ("default_pull_allowed", {}), StandinConstants::defaultPullAllowed);
    return quotas;
}

void AccountStore::setDefaultQuotas (const Quotas& quotas)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Transaction transaction (database);

    putSetting ("default_hrtf_allowed", std::to_string (quotas.hrtfAllowed));
    putSetting ("default_pull_allowed", std::to_string (quotas.pullAllowed));

    transaction.commit();
}
