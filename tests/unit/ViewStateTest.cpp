#include "core/ViewState.h"
#include "core/ViewFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

ViewState Sample(const std::string& folder) {
    ViewState state;
    state.lists[133] = {50, 5, true, {{2, 140}, {7, 333}}};
    state.lists[137] = {15, std::nullopt, std::nullopt, {}};
    state.window = ViewRect{-20, 40, 1200, 800};
    state.maximised = true;
    state.lastPage = 137;
    state.languageId = 2052;
    state.folders = {folder + "/fw ", folder};
    return state;
}

TEST(ViewState, WhatIsWrittenReadsBackAndAFileBeyondRepairGivesNothing) {
    const test::TempDir dir;
    const ViewState state = Sample(dir.Path().string());
    EXPECT_EQ(ParseViewState(FormatViewState(state)), state) << "a blank at a folder's end is kept too";
    ASSERT_TRUE(WriteViewFile(dir.Dir() + "radiofleet/view.ini", state));
    std::string problem;
    EXPECT_EQ(ReadViewFile(dir.Dir() + "radiofleet/view.ini", problem), state);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(ReadViewFile(dir.Dir() + "missing.ini", problem), ViewState{});
    EXPECT_EQ(problem, "") << "no file is no problem";
    EXPECT_EQ(ReadViewFile(dir.Dir() + "radiofleet", problem), ViewState{});
    EXPECT_NE(problem, "") << "a folder where the file belongs";

    EXPECT_FALSE(ParseViewState(std::string("[Window]\nWidth=1\0\n", 18)));
    EXPECT_FALSE(ParseViewState("[Window]\nWidth=\xff\xfe\n"));
    EXPECT_FALSE(ParseViewState("[Window]\nthis is no setting\n"));
    EXPECT_FALSE(ParseViewState("=1200\n"));
    const auto partly =
        ParseViewState("; a comment\n[Window]\nX=a\nY=1\nWidth=1200\nHeight=800\nMaximised=2\n"
                       "[Program]\nPage=one\nLanguage=70000\n[List133]\nPageSize=15x\n"
                       "SortColumn=4\nColumnWidths=2:150 x:9 3: 4:90\n");
    ASSERT_TRUE(partly) << "values that are not numbers are dropped alone";
    EXPECT_FALSE(partly->window);
    EXPECT_FALSE(partly->maximised);
    EXPECT_FALSE(partly->lastPage);
    EXPECT_FALSE(partly->languageId);
    const ListView expected{std::nullopt, 4, std::nullopt, {{2, 150}, {4, 90}}};
    EXPECT_EQ(partly->lists.at(133), expected);
}

TEST(ViewState, ValuesTheProgramCannotShowAreDroppedAlone) {
    const ViewLimits limits{{133, 137}, {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}};
    ViewState state = Sample("/srv");
    state.folders.last = "relative/folder";
    ViewState checked = CheckViewState(state, limits);
    EXPECT_EQ(checked.window, state.window) << "mostly on the first screen";
    EXPECT_EQ(checked.lastPage, 137);
    EXPECT_EQ(checked.folders.firmware, "/srv/fw ");
    EXPECT_EQ(checked.folders.last, "");
    EXPECT_EQ(checked.lists, state.lists);

    state.window = ViewRect{3150, 100, 1000, 680}; // 50 pixels on the second screen
    state.lastPage = 140;
    checked = CheckViewState(state, limits);
    EXPECT_FALSE(checked.window);
    EXPECT_FALSE(checked.lastPage);
    state.window = ViewRect{1500, 1060, 1000, 680}; // its top 20 pixels above the screens' foot
    EXPECT_FALSE(CheckViewState(state, limits).window);
    state.window = ViewRect{2000, 500, 1000, 680};
    EXPECT_EQ(CheckViewState(state, limits).window, state.window) << "on the second screen";

    const ListLimits list{{15, 30, 50, 100}, {false, false, true, true, true}};
    const ListView wrong{20, 1, true, {{2, 150}, {4, 3}, {5, 100}, {-1, 100}, {3, 5000}}};
    EXPECT_EQ(CheckListView(wrong, list), (ListView{std::nullopt, std::nullopt, std::nullopt, {{2, 150}}}));
    const ListView right{100, 4, false, {{0, 20}}};
    EXPECT_EQ(CheckListView(right, list), right);
    EXPECT_FALSE(CheckListView({30, 7, true, {}}, list).ascending) << "no order without its column";
}

TEST(ViewState, DialogsOpenInTheFolderLastUsedThatStillExists) {
    const test::TempDir dir;
    const std::string firmware = dir.Dir() + "firmware";
    std::filesystem::create_directories(firmware);
    ViewFolders folders;
    EXPECT_EQ(DialogStartFolder(folders, true, "/home/me"), "/home/me");
    RememberChosenFile(folders, true, firmware + "/image.bin");
    RememberChosenFile(folders, false, dir.Dir() + "notes.txt");
    EXPECT_EQ(folders.firmware, firmware);
    EXPECT_EQ(folders.last, dir.Path().string());
    EXPECT_EQ(DialogStartFolder(folders, true, "/home/me"), firmware);
    EXPECT_EQ(DialogStartFolder(folders, false, "/home/me"), dir.Path().string());
    std::filesystem::remove(firmware);
    EXPECT_EQ(DialogStartFolder(folders, true, "/home/me"), dir.Path().string()) << "a folder since removed";
    folders.last = dir.Dir() + "gone";
    EXPECT_EQ(DialogStartFolder(folders, false, "/home/me"), "/home/me");
}

} // namespace
} // namespace rf
