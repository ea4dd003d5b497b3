#pragma once

#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "protocol/ScanEntry.h"
#include "store/ListTextCache.h"
#include "store/SortKey.h"
#include "store/SqliteStatement.h"
#include "store/StoreWriteFault.h"
#include "store/TicketMutex.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace rf {

// One access point from a scan, laid out as it arrived.
using ScannedApRecord = ScanEntry;

// The per-run device store: data.mdb, created empty when the store comes up and deleted when it ends.
// Every operation holds one lock for its whole run, so the engine's threads and the interface thread call
// freely; the lock is handed over in the order it was asked for. When the file could not be opened, every
// operation returns its empty result (false, 0, or an untouched output) and OpenError() tells why. A write
// that SQLite refuses (a full disk, say) returns false and is recorded: WriteFault() tells why for as long
// as what it was to write is missing. Devices and access points are found by MAC text, lower-case with
// colons.
class CSqlManagement {
public:
    // The process-wide store, in the directory chosen by ChooseWritableDirectory for the executable.
    static CSqlManagement& GetInstance();

    // A store of its own in directory (ending in "/").
    explicit CSqlManagement(const std::string& directory);
    ~CSqlManagement();
    CSqlManagement(const CSqlManagement&) = delete;
    CSqlManagement& operator=(const CSqlManagement&) = delete;

    const std::string& GetDatabasePath() const { return path_; }
    bool IsOpen() const;
    std::string OpenError() const;

    // Why writes fail, while some refused write has not been made good: a device's until its details are
    // written again or it is deleted, a scan's until a scan is written or cleared, the tables' for the run.
    std::optional<StoreWriteFault> WriteFault() const;
    // True once for each time writes begin to fail, for the one message a user is shown about it.
    bool ClaimWriteFaultNotice();

    // The column of ap_info a device list is sorted by ("ap_info.mac" for SortKey::Mac); for the address,
    // the whole address as a number made from ap_info.ip_num (IpKeySql). Empty for a value that names no key.
    static std::string GetDeviceSortColumn(SortKey key);
    // Sort columns of the scanned access points ("signal" for 4); empty for an unknown code.
    static std::string GetScanSortColumn(int code);

    // Runs one statement of the program's own (never text built from input), up to three attempts.
    bool Execute(const std::string& statement);

    // One page (from 1) of the devices matching filter, appended to devices; pageCount and onlineCount
    // (devices whose status is not 0 "Outline") cover every matching device. An empty filter matches all,
    // any other matches a device when one of its listed columns contains the text, ignoring ASCII case.
    // False, outputs untouched, for a value that names no sort key or a page size below 1.
    bool QueryDevicePage(SortKey key, std::string_view filter, bool ascending, int pageSize, int page,
                         std::vector<ap_info_stu>& devices, int& pageCount, int& onlineCount);
    // Append every device's IP (resp. MAC) text; true when the store is open.
    bool ListDeviceIps(std::vector<std::string>& ips);
    bool ListDeviceMacs(std::vector<std::string>& macs);
    // The device with this MAC (any one device for an empty MAC); device is cleared first and stays clear
    // when there is none. True when the query ran.
    bool GetDevice(std::string_view mac, ap_info_stu& device);

    // Appends the scanned access points; false for an unknown sort code.
    bool QueryScannedAps(int sortCode, bool ascending, std::vector<ScannedApRecord>& aps);
    bool GetScannedAp(std::string_view mac, ScannedApRecord& ap);

    // Until the matching EndWrites, the writes of every thread share one transaction: a burst of replies
    // then locks and writes the file once instead of once each. Calls nest; the outermost EndWrites
    // commits. When the transaction is lost (a refused write ended it, or the commit failed), every write
    // it held is reported as refused (WriteFault), and the next EndWrites of any thread returns what they
    // were for (the devices' MACs), so that the caller can write them again.
    void BeginWrites();
    std::vector<std::string> EndWrites();

    // Adds the device as "Online", or rewrites every column of its row.
    bool SaveDeviceInfo(const ap_info_stu& device);
    // Adds or rewrites one row per entry of a scan reply payload; true when every entry was written.
    bool SaveScanResults(std::span<const uint8_t> payload);

    // Changes only a known device; true when it did.
    bool UpdateUptime(std::string_view ip, std::string_view mac, uint32_t seconds);
    bool SetDeviceStatus(std::string_view mac, DeviceStatus status);
    // The device's status; Outline when it is not stored.
    DeviceStatus GetDeviceStatus(std::string_view mac);
    // Upgrade steps: waiting (6) becomes upgrading (7); failed (9) becomes online (1).
    bool IsUpgradeWaiting(std::string_view mac);
    bool MarkUpgrading(std::string_view mac);
    bool ClearFailedUpgrade(std::string_view mac);
    // True when some stored station names this device's wireless MAC as the access point it bridges to.
    bool HasBridgedStation(std::string_view mac);

    bool DeleteDevice(std::string_view mac);
    bool ClearScannedAps();

private:
    bool OpenDatabase();
    void CreateTables();
    void RemoveDatabaseFiles() const;
    bool ExecuteLocked(const std::string& statement);
    // The statement for sql, prepared on first use and kept; reset and ready to bind. Not valid when it
    // does not prepare.
    CSqliteStatement& Prepared(const std::string& sql);
    // The numbers of a count statement and the IDs it lists (the pattern bound as ?1 unless empty), and
    // the rows of a page statement as records.
    bool CountDevices(const std::string& sql, std::string_view pattern, std::int64_t& total,
                      std::int64_t& online, std::string& ids);
    // The same from the memory copy of ap_list's texts, for an ASCII filter with its letters lowered, or
    // for every device when it is empty (no IDs then).
    bool FindListed(std::string_view lowered, std::int64_t& total, std::int64_t& online, std::string& ids);
    // The page's IDs from pageIds (bound as ?1 unless empty, page size ?2, offset ?3), then each row whole.
    bool ReadPageByIds(CSqliteStatement& pageIds, std::string_view bound, int pageSize, std::int64_t offset,
                       std::vector<ap_info_stu>& found);
    bool ReadPage(CSqliteStatement& rows, std::string_view pattern, int pageSize, std::int64_t offset,
                  std::vector<ap_info_stu>& found);
    bool ChangeStatus(std::string_view mac, DeviceStatus from, DeviceStatus to);
    // Runs a write of what (a device's MAC, or one of the names below); false, recorded, when SQLite
    // refuses it. RunChange is also false when no row changed.
    bool RunWrite(CSqliteStatement& statement, std::string_view what);
    bool RunChange(CSqliteStatement& statement, std::string_view what);
    // Records SQLite's last error against what; false, for the caller to return.
    bool WriteRefused(std::string_view what);
    // Records message and code against what.
    void Refused(std::string_view what, const std::string& message, int code);
    // The batch's transaction ended without its writes: each is reported as refused.
    void BatchLost(const std::string& message, int code);
    // What was refused for what has now been written.
    void Written(std::string_view what);

    std::string path_;
    mutable TicketMutex lock_;
    sqlite3* db_ = nullptr;
    std::string openError_;
    std::set<std::string, std::less<>> unwritten_;
    StoreWriteFault writeFault_;
    std::uint64_t noticedEpisode_ = 0;
    std::map<std::string, CSqliteStatement, std::less<>> statements_;
    std::unique_ptr<CListTextCache> listCache_;
    static constexpr size_t kMostBatchWrites = 512;
    int writeBatches_ = 0;                 // BeginWrites calls not yet ended
    bool batchOpen_ = false;               // the transaction they share is open
    std::vector<std::string> batchWrites_; // what it wrote, reported as refused when it is lost
    std::vector<std::string> lostWrites_;  // what lost batches held, until an EndWrites returns it
};

} // namespace rf
