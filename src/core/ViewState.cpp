#include "core/ViewState.h"

#include "core/IniDocument.h"
#include "core/OperateCharacter.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sstream>

namespace rf {
namespace {

constexpr std::string_view kWindow = "Window";
constexpr std::string_view kProgram = "Program";
constexpr std::string_view kListPrefix = "List";
constexpr int kMinColumnWidth = 8;
constexpr int kMaxColumnWidth = 4000;
constexpr int kMaxWindowSide = 100000;
// A window counts as on a screen when this much of it shows there, enough to take it by its top.
constexpr int kMinVisibleWidth = 100;
constexpr int kMinVisibleHeight = 40;

std::optional<int> ToInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool IsUtf8WithoutNul(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8(text, pos);
        if (c.length == 0 || c.codePoint == 0) {
            return false;
        }
        pos += c.length;
    }
    return true;
}

// The section names of a well-formed text, or nullopt when a line is none of the kinds an INI file has.
std::optional<std::vector<std::string>> SectionsOf(std::string_view text) {
    std::vector<std::string> sections;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
            continue;
        }
        if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() > 2) {
            sections.emplace_back(TrimBlanks(trimmed.substr(1, trimmed.size() - 2)));
        } else if (trimmed.find('=') == std::string_view::npos || trimmed.front() == '=') {
            return std::nullopt;
        }
    }
    return sections;
}

std::optional<int> GetInt(const IniDocument& doc, std::string_view section, std::string_view key) {
    const auto text = doc.Get(section, key);
    return text ? ToInt(*text) : std::nullopt;
}

std::optional<bool> GetFlag(const IniDocument& doc, std::string_view section, std::string_view key) {
    const auto value = GetInt(doc, section, key);
    if (!value || (*value != 0 && *value != 1)) {
        return std::nullopt;
    }
    return *value == 1;
}

// "column:width column:width …"; pairs that are not two numbers are left out.
std::map<int, int> ParseWidths(const std::string& text) {
    std::map<int, int> widths;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto colon = word.find(':');
        const auto column = ToInt(std::string_view(word).substr(0, colon));
        const auto width =
            colon == std::string::npos ? std::nullopt : ToInt(std::string_view(word).substr(colon + 1));
        if (column && width) {
            widths[*column] = *width;
        }
    }
    return widths;
}

ListView ParseList(const IniDocument& doc, const std::string& section) {
    ListView view;
    view.pageSize = GetInt(doc, section, "PageSize");
    view.sortColumn = GetInt(doc, section, "SortColumn");
    view.ascending = GetFlag(doc, section, "Ascending");
    view.columnWidths = ParseWidths(doc.Get(section, "ColumnWidths").value_or(std::string()));
    return view;
}

std::optional<ViewRect> ParseWindow(const IniDocument& doc) {
    const auto x = GetInt(doc, kWindow, "X");
    const auto y = GetInt(doc, kWindow, "Y");
    const auto width = GetInt(doc, kWindow, "Width");
    const auto height = GetInt(doc, kWindow, "Height");
    if (!x || !y || !width || !height) {
        return std::nullopt;
    }
    return ViewRect{*x, *y, *width, *height};
}

void SetInt(IniDocument& doc, std::string_view section, std::string_view key, std::optional<int> value) {
    if (value) {
        doc.Set(section, key, std::to_string(*value));
    }
}

// Quoted, so that blanks at either end stay part of the folder.
void SetFolder(IniDocument& doc, std::string_view key, const std::string& folder) {
    if (!folder.empty() && folder.find_first_of("\r\n") == std::string::npos) {
        doc.Set(kProgram, key, '"' + folder + '"');
    }
}

int Overlap(int start1, int length1, int start2, int length2) {
    return std::min(start1 + length1, start2 + length2) - std::max(start1, start2);
}

bool ShowsOnAScreen(const ViewRect& window, const std::vector<ViewRect>& screens) {
    if (window.width <= 0 || window.height <= 0 || window.width > kMaxWindowSide ||
        window.height > kMaxWindowSide) {
        return false;
    }
    return std::any_of(screens.begin(), screens.end(), [&window](const ViewRect& screen) {
        return Overlap(window.x, window.width, screen.x, screen.width) >= kMinVisibleWidth &&
               Overlap(window.y, window.height, screen.y, screen.height) >= kMinVisibleHeight;
    });
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

template <typename T, typename Keep> void KeepIf(std::optional<T>& value, Keep keep) {
    if (value && !keep(*value)) {
        value.reset();
    }
}

} // namespace

std::optional<ViewState> ParseViewState(std::string_view text) {
    if (!IsUtf8WithoutNul(text)) {
        return std::nullopt;
    }
    const auto sections = SectionsOf(text);
    if (!sections) {
        return std::nullopt;
    }
    const IniDocument doc = IniDocument::Parse(text);
    ViewState state;
    for (const std::string& section : *sections) {
        if (section.size() > kListPrefix.size() &&
            EqualsIgnoreAsciiCase(section.substr(0, kListPrefix.size()), kListPrefix)) {
            if (const auto pageId = ToInt(std::string_view(section).substr(kListPrefix.size()))) {
                state.lists.emplace(*pageId, ParseList(doc, section));
            }
        }
    }
    state.window = ParseWindow(doc);
    state.maximised = GetFlag(doc, kWindow, "Maximised").value_or(false);
    state.lastPage = GetInt(doc, kProgram, "Page");
    if (const auto language = GetInt(doc, kProgram, "Language");
        language && *language > 0 && *language <= 0xFFFF) {
        state.languageId = static_cast<std::uint16_t>(*language);
    }
    state.folders.firmware = doc.Get(kProgram, "FirmwareFolder").value_or(std::string());
    state.folders.last = doc.Get(kProgram, "LastFolder").value_or(std::string());
    return state;
}

std::string FormatViewState(const ViewState& state) {
    IniDocument doc;
    if (state.window) {
        doc.Set(kWindow, "X", std::to_string(state.window->x));
        doc.Set(kWindow, "Y", std::to_string(state.window->y));
        doc.Set(kWindow, "Width", std::to_string(state.window->width));
        doc.Set(kWindow, "Height", std::to_string(state.window->height));
    }
    doc.Set(kWindow, "Maximised", state.maximised ? "1" : "0");
    SetInt(doc, kProgram, "Page", state.lastPage);
    SetInt(doc, kProgram, "Language", state.languageId);
    SetFolder(doc, "FirmwareFolder", state.folders.firmware);
    SetFolder(doc, "LastFolder", state.folders.last);
    for (const auto& [pageId, list] : state.lists) {
        const std::string section = std::string(kListPrefix) + std::to_string(pageId);
        SetInt(doc, section, "PageSize", list.pageSize);
        SetInt(doc, section, "SortColumn", list.sortColumn);
        if (list.ascending) {
            doc.Set(section, "Ascending", *list.ascending ? "1" : "0");
        }
        std::string widths;
        for (const auto& [column, width] : list.columnWidths) {
            widths += (widths.empty() ? "" : " ") + std::to_string(column) + ':' + std::to_string(width);
        }
        if (!widths.empty()) {
            doc.Set(section, "ColumnWidths", widths);
        }
    }
    return doc.Serialize();
}

ViewState CheckViewState(ViewState state, const ViewLimits& limits) {
    KeepIf(state.window, [&limits](const ViewRect& rect) { return ShowsOnAScreen(rect, limits.screens); });
    KeepIf(state.lastPage, [&limits](int page) {
        return std::find(limits.pageIds.begin(), limits.pageIds.end(), page) != limits.pageIds.end();
    });
    for (std::string* folder : {&state.folders.firmware, &state.folders.last}) {
        if (!folder->starts_with('/')) {
            folder->clear();
        }
    }
    return state;
}

ListView CheckListView(ListView view, const ListLimits& limits) {
    KeepIf(view.pageSize, [&limits](int size) {
        return std::find(limits.pageSizes.begin(), limits.pageSizes.end(), size) != limits.pageSizes.end();
    });
    const auto columns = static_cast<int>(limits.sortable.size());
    KeepIf(view.sortColumn, [&limits, columns](int column) {
        return column >= 0 && column < columns && limits.sortable[static_cast<size_t>(column)];
    });
    if (!view.sortColumn) {
        view.ascending.reset(); // an order without its column means nothing
    }
    std::erase_if(view.columnWidths, [columns](const auto& entry) {
        return entry.first < 0 || entry.first >= columns || entry.second < kMinColumnWidth ||
               entry.second > kMaxColumnWidth;
    });
    return view;
}

std::string DialogStartFolder(const ViewFolders& folders, bool firmware, const std::string& home) {
    if (firmware && IsFolder(folders.firmware)) {
        return folders.firmware;
    }
    return IsFolder(folders.last) ? folders.last : home;
}

void RememberChosenFile(ViewFolders& folders, bool firmware, const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (file.empty() || folder.empty()) {
        return;
    }
    folders.last = folder.string();
    if (firmware) {
        folders.firmware = folders.last;
    }
}

} // namespace rf
