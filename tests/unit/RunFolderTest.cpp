#include "core/RunFolder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace rf {
namespace {

namespace fs = std::filesystem;

// A new run removes the folder of a run whose process is gone, and keeps those of runs still alive, those
// still being made (no lock yet) and anything else in the base folder.
TEST(RunFolder, ANewRunRemovesDeadRunsOnlyAndItsOwnFolderAtItsEnd) {
    test::TempDir base;
    auto dead = std::make_unique<CRunFolder>(base.Dir());
    const std::string deadPath = dead->Path();
    ASSERT_FALSE(deadPath.empty());
    EXPECT_TRUE(deadPath.starts_with(base.Dir() + CRunFolder::kPrefix));
    base.Write(fs::path(deadPath).parent_path().filename().string() + "/data.mdb", "keys");
    // A killed run leaves its folder: here the lock is let go without the folder being removed.
    const std::string kept = base.Dir() + "kept";
    fs::rename(deadPath, kept);
    dead.reset();
    fs::rename(kept, deadPath);
    base.Write(std::string(CRunFolder::kPrefix) + "making/data.mdb", "");
    base.Write("radiofleet.other", "");

    const CRunFolder alive(base.Dir());
    {
        const CRunFolder next(base.Dir());
        EXPECT_FALSE(fs::exists(deadPath)) << "the dead run's store went";
        EXPECT_TRUE(fs::exists(alive.Path() + "lock")) << "a live run is left alone";
        EXPECT_TRUE(fs::exists(base.Path() / (std::string(CRunFolder::kPrefix) + "making")));
        EXPECT_TRUE(fs::exists(base.Path() / "radiofleet.other"));
        EXPECT_NE(next.Path(), alive.Path());
    }
    EXPECT_TRUE(fs::exists(alive.Path()));
    size_t runs = 0;
    for (const auto& entry : fs::directory_iterator(base.Path())) {
        runs += entry.path().filename().string().starts_with(CRunFolder::kPrefix) ? 1 : 0;
    }
    EXPECT_EQ(runs, 2u) << "the alive run and the one being made; the ended run removed its own";
}

} // namespace
} // namespace rf
