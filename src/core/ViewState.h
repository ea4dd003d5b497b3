#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// A rectangle in screen pixels.
struct ViewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ViewRect&) const = default;
};

// How the user left one page's device list; an absent value keeps the list's default.
struct ListView {
    std::optional<int> pageSize;
    std::optional<int> sortColumn;
    std::optional<bool> ascending;
    std::map<int, int> columnWidths; // grid column -> pixels, only the columns the user sized

    bool operator==(const ListView&) const = default;
};

// Where the file dialogs open: the firmware picker in the firmware folder, the others in the last folder
// a file was taken from.
struct ViewFolders {
    std::string firmware;
    std::string last;

    bool operator==(const ViewFolders&) const = default;
};

// What a user arranged in the program, kept from one run to the next.
struct ViewState {
    std::map<int, ListView> lists; // page id -> its list
    std::optional<ViewRect> window;
    bool maximised = false;
    std::optional<int> lastPage;
    std::optional<std::uint16_t> languageId;
    ViewFolders folders;

    bool operator==(const ViewState&) const = default;
};

// What the program can show, for telling a usable value from one left by another build or another screen.
struct ViewLimits {
    std::vector<int> pageIds;
    std::vector<ViewRect> screens;
};

// What a page's list can show.
struct ListLimits {
    std::vector<int> pageSizes;
    std::vector<bool> sortable; // one per grid column
};

// The view file's text; nullopt when the text is damaged (not UTF-8, a NUL byte, or a line that is neither
// blank, a comment, a [section] nor a key=value). A value that is not a number where one belongs, or a
// language id outside 1-65535, is dropped alone.
std::optional<ViewState> ParseViewState(std::string_view text);
std::string FormatViewState(const ViewState& state);

// The state without the values the program cannot use: a page it does not have, a window on no screen, a
// folder that is not an absolute path.
ViewState CheckViewState(ViewState state, const ViewLimits& limits);
// The list's view without a page size it does not offer, a sort on a column that does not exist or does
// not sort, or a width for a column that does not exist or is out of reason.
ListView CheckListView(ListView view, const ListLimits& limits);

// The folder a file dialog opens in: for the firmware picker the firmware folder, else the last folder,
// else home; a folder that no longer exists is passed over.
std::string DialogStartFolder(const ViewFolders& folders, bool firmware, const std::string& home);
// Remembers the folder of a chosen file.
void RememberChosenFile(ViewFolders& folders, bool firmware, const std::string& file);

} // namespace rf
