#pragma once

#include "store/StoreSchema.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The SQL texts of the device and scan lists' reads.
namespace rf {

// Up to this many matches a filtered page is read by the IDs the count found, not by a second pass.
inline constexpr std::int64_t kFewMatches = 1000;

// How ap_list's rows are chosen: all of them; the same test on its joined texts by LIKE (?1 the pattern);
// those the memory copy of the texts found; or a few named by their IDs (?1 a JSON array of them).
enum class ListTest { Every, Like, Found, Named };

// Which rows a device list reads: all of them; those the memory copy of ap_list's texts finds for an ASCII
// filter (compared as bytes); those ap_list finds by LIKE for any other; or (for a filter holding ap_list's
// separator) those found by testing every filter column of ap_info.
enum class DeviceSource { All, Cached, Listed, Wide };

DeviceSource SourceFor(std::string_view filter);

// "%text%" in which every character of the text stands for itself.
std::string ContainsPattern(std::string_view text);

// Text sorts ignore case, as the lists always have; ID breaks ties so that pages never overlap.
std::string OrderClause(std::span<const Column> columns, std::string_view table, const std::string& column,
                        bool ascending);

const std::string& DeviceSelect();

// The number of matching devices, of those online, and for ap_list the matching IDs ("3,17,42").
std::string CountSql(DeviceSource source);

// The IDs of a page, ordered by ap_list's copy of the sort key; the page's rows are then read whole one by
// one, so that no wide row is ever sorted. walkIndex: follow the key's index (ip_key has one) and stop when
// the page is full, which is quick when matches are dense; otherwise ("+" keeps the index out) every match
// is read once and the page kept.
std::string PageIdsSql(const std::string& key, bool ascending, bool walkIndex, ListTest test);

// The rows named by ?1, a JSON array of IDs, in the order of their IDs.
const std::string& DevicesByIdSql();

std::string JsonArray(const std::vector<std::int64_t>& ids);

// For a filter that ap_list cannot answer: every filter column of the wide rows tested.
std::string WidePageSql(const std::string& column, bool ascending);

const std::string& ScanSelect();

} // namespace rf
