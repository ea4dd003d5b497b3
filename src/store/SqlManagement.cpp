#include "store/SqlManagement.h"

#include "core/ExeDirectory.h"
#include "core/RunFolder.h"
#include "core/WritableDirectory.h"
#include "protocol/CodeTables.h"
#include "protocol/ScanReply.h"
#include "store/DeviceListIndex.h"
#include "store/DevicePageSql.h"
#include "store/ReadTransaction.h"
#include "store/RecordColumns.h"
#include "store/StatementUse.h"
#include "store/StoreSchema.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace rf {

namespace {

constexpr const char* kFileName = "data.mdb";
constexpr int kExecuteAttempts = 3;
// What a refused write is recorded against when it is not a device's row.
constexpr std::string_view kScanWrites = "ap_other_info";
constexpr std::string_view kTableWrites = "tables";

void RemoveFile(const std::string& path) {
    ::unlink(path.c_str());
}

// Beside the program when its folder is writable; otherwise this run's own folder, which a later start
// removes should this process be killed, so the radios' keys do not outlive it for long.
std::string StoreDirectory() {
    const std::string beside = GetExeDirectory();
    const std::string chosen = ChooseWritableDirectory(beside);
    if (chosen == beside) {
        return chosen;
    }
    const std::string& run = CRunFolder::Process().Path();
    return run.empty() ? chosen : run;
}

} // namespace

CSqlManagement& CSqlManagement::GetInstance() {
    static CSqlManagement instance(StoreDirectory());
    return instance;
}

CSqlManagement::CSqlManagement(const std::string& directory) : path_(directory + kFileName) {
    RemoveDatabaseFiles();
    if (OpenDatabase()) {
        CreateTables();
        listCache_ = std::make_unique<CListTextCache>(db_);
    }
}

CSqlManagement::~CSqlManagement() {
    std::lock_guard guard(lock_);
    listCache_.reset();
    statements_.clear();
    if (db_ != nullptr) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
    RemoveDatabaseFiles();
}

void CSqlManagement::RemoveDatabaseFiles() const {
    // A journal left by an earlier run would otherwise be played back into the new file.
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        RemoveFile(path_ + suffix);
    }
}

bool CSqlManagement::OpenDatabase() {
    // Made here rather than by SQLite so that the file, which holds wireless keys, is never readable by
    // others, and so that a file planted under the name (a link, say) is refused.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        openError_ = path_ + ": " + std::strerror(errno);
        return false;
    }
    const bool private_ = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    if (!private_) {
        openError_ = path_ + ": " + std::strerror(errno);
        RemoveFile(path_);
        return false;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK) {
        openError_ = path_ + ": " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        return false;
    }
    db_ = db;
    AddListFunctions(db_);
    // A scratch file for one run: nothing needs to survive a crash.
    sqlite3_exec(db_,
                 "PRAGMA synchronous=OFF;PRAGMA journal_mode=MEMORY;PRAGMA temp_store=MEMORY;"
                 "PRAGMA cache_size=-16384",
                 nullptr, nullptr, nullptr);
    return true;
}

void CSqlManagement::CreateTables() {
    std::vector<std::string> statements{
        CreateTableSql(kDeviceTable, kDeviceColumns), CreateTableSql(kScanTable, kScanColumns),
        "CREATE UNIQUE INDEX IF NOT EXISTS ap_info_mac ON ap_info(mac)",
        "CREATE UNIQUE INDEX IF NOT EXISTS ap_other_info_mac ON ap_other_info(mac)",
        "CREATE INDEX IF NOT EXISTS ap_info_ap_status ON ap_info(ap_status)"};
    for (auto& statement : DeviceListIndexSql()) {
        statements.push_back(std::move(statement));
    }
    for (const auto& statement : statements) {
        if (!Execute(statement)) {
            std::lock_guard guard(lock_);
            WriteRefused(kTableWrites);
        }
    }
}

bool CSqlManagement::IsOpen() const {
    std::lock_guard guard(lock_);
    return db_ != nullptr;
}

std::string CSqlManagement::OpenError() const {
    std::lock_guard guard(lock_);
    return openError_;
}

std::optional<StoreWriteFault> CSqlManagement::WriteFault() const {
    std::lock_guard guard(lock_);
    return unwritten_.empty() ? std::nullopt : std::optional(writeFault_);
}

bool CSqlManagement::ClaimWriteFaultNotice() {
    std::lock_guard guard(lock_);
    if (unwritten_.empty() || noticedEpisode_ == writeFault_.episode) {
        return false;
    }
    noticedEpisode_ = writeFault_.episode;
    return true;
}

bool CSqlManagement::WriteRefused(std::string_view what) {
    const std::string message = sqlite3_errmsg(db_);
    const int code = sqlite3_errcode(db_) & 0xff;
    if (batchOpen_ && sqlite3_get_autocommit(db_) != 0) {
        BatchLost(message, code); // the refusal rolled the batch back
    }
    Refused(what, message, code);
    return false;
}

void CSqlManagement::Refused(std::string_view what, const std::string& message, int code) {
    if (unwritten_.empty()) {
        ++writeFault_.episode;
    }
    unwritten_.emplace(what);
    writeFault_.message = message;
    writeFault_.code = code;
}

void CSqlManagement::BatchLost(const std::string& message, int code) {
    batchOpen_ = false;
    for (auto& what : batchWrites_) {
        Refused(what, message, code);
        lostWrites_.push_back(std::move(what));
    }
    batchWrites_.clear();
}

void CSqlManagement::BeginWrites() {
    std::lock_guard guard(lock_);
    if (db_ != nullptr && writeBatches_++ == 0 && sqlite3_get_autocommit(db_) != 0) {
        batchOpen_ = ExecuteLocked("BEGIN");
    }
}

std::vector<std::string> CSqlManagement::EndWrites() {
    std::lock_guard guard(lock_);
    if (writeBatches_ == 0 || !batchOpen_) {
        writeBatches_ = std::max(writeBatches_ - 1, 0);
        return std::exchange(lostWrites_, {});
    }
    // Batches that keep overlapping still commit now and then.
    const bool last = --writeBatches_ == 0;
    if (!last && batchWrites_.size() < kMostBatchWrites) {
        return std::exchange(lostWrites_, {});
    }
    if (sqlite3_get_autocommit(db_) == 0 && ExecuteLocked("COMMIT")) {
        batchWrites_.clear();
        if (listCache_ != nullptr) {
            listCache_->CatchUp();
        }
        batchOpen_ = !last && ExecuteLocked("BEGIN");
        return std::exchange(lostWrites_, {});
    }
    // The refusal's own words, before a rollback replaces them.
    const std::string message = sqlite3_errmsg(db_);
    const int code = sqlite3_errcode(db_) & 0xff;
    if (sqlite3_get_autocommit(db_) == 0) {
        ExecuteLocked("ROLLBACK");
    }
    BatchLost(message, code);
    return std::exchange(lostWrites_, {});
}

void CSqlManagement::Written(std::string_view what) {
    if (const auto found = unwritten_.find(what); found != unwritten_.end()) {
        unwritten_.erase(found);
    }
}

std::string CSqlManagement::GetDeviceSortColumn(SortKey key) {
    switch (key) {
    case SortKey::Mac:
        return "ap_info.mac";
    case SortKey::IpAddress:
        return IpKeySql("ap_info.ip_num");
    case SortKey::Name:
        return "ap_info.ap_name";
    case SortKey::Model:
        return "ap_info.ap_type";
    case SortKey::WorkMode:
        return "ap_info.work_mode";
    case SortKey::Ssid:
        return "ap_info.ssid";
    case SortKey::Channel:
        return "ap_info.channel";
    case SortKey::SecureMode:
        return "ap_info.secure_mode";
    case SortKey::TxPower:
        return "ap_info.tx_power";
    case SortKey::Version:
        return "ap_info.version";
    case SortKey::TransparentBridge:
        return "ap_info.bridge_transparent";
    case SortKey::UpTime:
        return "ap_info.up_time";
    case SortKey::Status:
        return "ap_info.ap_status";
    }
    return {};
}

std::string CSqlManagement::GetScanSortColumn(int code) {
    static constexpr std::array kColumns{"mac", "ssid", "channel", "secure_mode", "signal"};
    if (code >= 0 && static_cast<size_t>(code) < kColumns.size()) {
        return kColumns[static_cast<size_t>(code)];
    }
    return {};
}

CSqliteStatement& CSqlManagement::Prepared(const std::string& sql) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        CSqliteStatement statement(db_, sql);
        if (!statement.Valid()) {
            static thread_local CSqliteStatement invalid;
            return invalid;
        }
        found = statements_.emplace(sql, std::move(statement)).first;
    }
    found->second.Reset();
    return found->second;
}

bool CSqlManagement::ExecuteLocked(const std::string& statement) {
    return db_ != nullptr && sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool CSqlManagement::Execute(const std::string& statement) {
    for (int attempt = 0; attempt < kExecuteAttempts; ++attempt) {
        std::lock_guard guard(lock_);
        if (ExecuteLocked(statement)) {
            return true;
        }
    }
    return false;
}

bool CSqlManagement::RunWrite(CSqliteStatement& statement, std::string_view what) {
    if (!statement.Valid()) {
        return WriteRefused(what);
    }
    StatementUse use(statement);
    statement.Step();
    if (!statement.Done()) {
        return WriteRefused(what);
    }
    if (batchOpen_) {
        batchWrites_.emplace_back(what);
    }
    return true;
}

bool CSqlManagement::RunChange(CSqliteStatement& statement, std::string_view what) {
    return RunWrite(statement, what) && sqlite3_changes(db_) > 0;
}

bool CSqlManagement::GetDevice(std::string_view mac, ap_info_stu& device) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    device = ap_info_stu{};
    auto& row = mac.empty() ? Prepared(DeviceSelect() + " ORDER BY ID LIMIT 1")
                            : Prepared(DeviceSelect() + " WHERE mac=?1");
    if (!row.Valid()) {
        return false;
    }
    StatementUse use(row);
    if (!mac.empty()) {
        row.BindText(1, mac);
    }
    if (row.Step()) {
        device = DeviceFromRow(row);
        return true;
    }
    return row.Done();
}

bool CSqlManagement::QueryScannedAps(int sortCode, bool ascending, std::vector<ScannedApRecord>& aps) {
    const std::string column = GetScanSortColumn(sortCode);
    if (column.empty()) {
        return false;
    }
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& rows = Prepared(ScanSelect() + OrderClause(kScanColumns, "ap_other_info", column, ascending));
    if (!rows.Valid()) {
        return false;
    }
    StatementUse use(rows);
    std::vector<ScannedApRecord> found;
    while (rows.Step()) {
        found.push_back(ScannedApFromRow(rows));
    }
    if (!rows.Done()) {
        return false;
    }
    aps.insert(aps.end(), found.begin(), found.end());
    return true;
}

bool CSqlManagement::GetScannedAp(std::string_view mac, ScannedApRecord& ap) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    ap = ScannedApRecord{};
    auto& row = Prepared(ScanSelect() + " WHERE mac=?1");
    if (!row.Valid()) {
        return false;
    }
    StatementUse use(row);
    row.BindText(1, mac);
    if (row.Step()) {
        ap = ScannedApFromRow(row);
        return true;
    }
    return row.Done();
}

bool CSqlManagement::SaveDeviceInfo(const ap_info_stu& device) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    static const std::string upsert = UpsertByMacSql(kDeviceTable, kDeviceColumns);
    auto& statement = Prepared(upsert);
    if (!statement.Valid()) {
        return WriteRefused(device.mac());
    }
    BindDeviceColumns(statement, device);
    if (!RunChange(statement, device.mac())) {
        return false;
    }
    Written(device.mac());
    return true;
}

bool CSqlManagement::SaveScanResults(std::span<const uint8_t> payload) {
    const auto reply = ScanReply::Decode(payload);
    if (!reply) {
        return false;
    }
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    static const std::string upsert = UpsertByMacSql(kScanTable, kScanColumns);
    auto& statement = Prepared(upsert);
    // One transaction for the whole packet (unless it is part of a batch already): up to 32 rows written at
    // the cost of one.
    const bool own = sqlite3_get_autocommit(db_) != 0;
    if (!statement.Valid() || (own && !ExecuteLocked("BEGIN"))) {
        return WriteRefused(kScanWrites);
    }
    bool all = true;
    for (const auto& entry : reply->entries) {
        BindScanColumns(statement, *reply, entry);
        all = RunChange(statement, kScanWrites) && all;
    }
    // A refused row may have ended the transaction already; then there is nothing left to commit.
    if (own && sqlite3_get_autocommit(db_) == 0 && !ExecuteLocked("COMMIT")) {
        WriteRefused(kScanWrites);
        ExecuteLocked("ROLLBACK");
        return false;
    }
    if (all) {
        Written(kScanWrites);
    }
    return all;
}

bool CSqlManagement::DeleteDevice(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& statement = Prepared("DELETE FROM ap_info WHERE mac=?1");
    if (!statement.Valid()) {
        return WriteRefused(mac);
    }
    statement.BindText(1, mac);
    if (!RunWrite(statement, mac)) {
        return false;
    }
    Written(mac);
    return true;
}

bool CSqlManagement::ClearScannedAps() {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& statement = Prepared("DELETE FROM ap_other_info");
    if (!statement.Valid()) {
        return WriteRefused(kScanWrites);
    }
    if (!RunWrite(statement, kScanWrites)) {
        return false;
    }
    Written(kScanWrites);
    return true;
}

} // namespace rf
