// A silent installation killed after each single operation in turn (a power cut, the task
// manager, a deployment tool's time-out), then run again: the second run completes the
// installation, nothing of the killed run is left beside it, and the removal leaves the machine
// as it was before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>

#include "tests/host/SilentRuns.h"
#include "wizard/engine/Registry.h"

namespace {

using Names = std::vector<plat::Wide>;

// Every file with its bytes and last-write time, but for the two logs and the two data files,
// whose content carries the time of the run.
std::map<plat::Wide, std::pair<std::string, plat::FileTime>> Contents(const Names& tree) {
    std::map<plat::Wide, std::pair<std::string, plat::FileTime>> contents;
    for (const plat::Wide& name : tree) {
        if (!name.empty() && name.back() == u'\\') continue;
        plat::Wide path = u"C:\\" + name;
        bool timed = false;
        for (const char16_t* mark : {u"Install.log", u"Update.log", u"install_stamp", u"tsd_common.dat"})
            timed = timed || name.find(mark) != plat::Wide::npos;
        contents[name] = timed ? std::pair{std::string(), plat::FileTime{0}}
                               : std::pair{fake::FileBytes(path), fake::FileWriteTime(path)};
    }
    return contents;
}

// What the killed run starts from: a clean machine, an installation of this very version (whose
// files are all kept), or an older one whose files differ from every second payload file by
// their time stamp (those are replaced, the others kept).
enum class Earlier { None, SameVersion, OlderVersion };

// Which operations to kill after: every one with TSD_KILL_SWEEP=all ("make kill-sweep"), else a
// sample that a seed fixes, the first and last ones always among it.
std::vector<int> KillPoints(int operations) {
    std::vector<int> all(static_cast<size_t>(operations));
    for (int i = 0; i < operations; ++i) all[static_cast<size_t>(i)] = i + 1;
    const char* mode = std::getenv("TSD_KILL_SWEEP");
    constexpr size_t kSample = 260;
    if ((mode && std::string(mode) == "all") || all.size() <= kSample) return all;
    std::vector<int> sample = {1, 2, operations - 1, operations};
    std::vector<int> middle(all.begin() + 2, all.end() - 2);
    std::mt19937 random(20261207);
    std::shuffle(middle.begin(), middle.end(), random);
    sample.insert(sample.end(), middle.begin(), middle.begin() + (kSample - sample.size()));
    std::sort(sample.begin(), sample.end());
    return sample;
}

class KillSweep : public ::testing::Test {
protected:
    // The machine the killed run starts from (a clean one, or one with an older installation),
    // and what a run that is not killed makes of it.
    void Prepare(Earlier earlier, int minimumOperations) {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
        pristine_ = fake::ListTree(u"C:\\");
        if (earlier != Earlier::None) {
            ASSERT_EQ(0, SilentSetup());
            fake::StartNextProcess();
        }
        if (earlier == Earlier::OlderVersion) {
            const plat::FileTime kOlder = 130000000000000000ull;
            for (size_t i = 0; i < AttachedFiles->ToInstall.size(); i += 2) {
                const plat::Wide& dest = AttachedFiles->ToInstall[i]->Dest;
                fake::PutFile(dest, fake::FileBytes(dest), kOlder);
            }
        }
        fake::SaveMachine();
        int before = fake::TotalOperationCount();
        ASSERT_EQ(0, SilentSetup());
        fake::StartNextProcess();
        operations_ = fake::TotalOperationCount() - before;
        installed_ = Contents(fake::ListTree(u"C:\\"));
        ASSERT_GT(operations_, minimumOperations) << "a whole installation";
    }

    void Sweep(const char* what) {
        int failures = 0;
        std::vector<int> kills = KillPoints(operations_);
        for (int kill : kills) {
            if (failures >= 3) break;
            SCOPED_TRACE(std::string(what) + ", killed after operation " + std::to_string(kill));
            fake::RestoreMachine();
            fake::EndProcessAfter(kill);
            SilentSetup();
            bool ended = fake::ProcessEnded();
            fake::StartNextProcess();
            if (!ended) {
                ADD_FAILURE() << "the run ended before its operation " << kill;
                ++failures;
                continue;
            }
            int code = SilentSetup();
            fake::StartNextProcess();
            EXPECT_EQ(0, code) << "the run after the killed one completes";
            EXPECT_EQ(installed_, Contents(fake::ListTree(u"C:\\")))
                << "a complete installation and nothing else";
            EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
            EXPECT_EQ(kUninstallRemoved, SilentRemoval());
            EXPECT_EQ(pristine_, fake::ListTree(u"C:\\")) << "the removal leaves nothing";
            EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
            EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
            if (HasFailure()) ++failures;
        }
        std::printf("kill sweep, %s: %zu kills of %d operations\n", what, kills.size(), operations_);
    }

    Names pristine_;
    std::map<plat::Wide, std::pair<std::string, plat::FileTime>> installed_;
    int operations_ = 0;
};

TEST_F(KillSweep, AFirstInstallationKilledAnywhereIsFinishedByTheNextRun) {
    Prepare(Earlier::None, 700);
    Sweep("first installation");
}

TEST_F(KillSweep, AReinstallationKilledAnywhereIsFinishedByTheNextRun) {
    // Half of the files replaced, each through a temporary file.
    Prepare(Earlier::OlderVersion, 600);
    Sweep("reinstallation over an older version");
}

TEST_F(KillSweep, AReinstallationOfTheSameVersionKilledAnywhereIsFinishedByTheNextRun) {
    // Every payload file kept: the logs, data files, shortcuts and records are all it writes.
    Prepare(Earlier::SameVersion, 20);
    Sweep("reinstallation of the same version");
}

}  // namespace

namespace {

TEST(Leftovers, TheRemovalTakesThemTooButNothingThroughALink) {
    ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
    Names pristine = fake::ListTree(u"C:\\");
    ASSERT_EQ(0, SilentSetup());
    fake::StartNextProcess();
    // What runs killed while replacing files left, and a link planted where Wine shows it as a
    // plain file.
    fake::SetLinksAsUnderWine(true);
    fake::PutFile(kMain + u"\\tsd.exe.~0", "half a program");
    fake::PutFile(kMain + u"\\Install.log.~0", "half a log");
    fake::PutFile(kCommon + u"\\Update.log.~0", "half a log");
    fake::PutFile(kCommon + u"\\tsd_common.dat.~0\\someone's.txt", "");
    fake::PutFile(kCommon + u"\\tsd_common.dat.~1", "left");
    fake::PutFile(u"C:\\Victim\\victim.txt", "not yours");
    fake::PutLink(kMain + u"\\License.txt.~0", u"C:\\Victim\\victim.txt", false);
    EXPECT_EQ(kUninstallRemoved, SilentRemoval()) << "the link is someone else's";
    // The copy that finishes once the program has ended.
    FinishUninstall(kMain);
    EXPECT_EQ("not yours", fake::FileBytes(u"C:\\Victim\\victim.txt"));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\tsd.exe.~0"));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\Install.log.~0"));
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\Update.log.~0"));
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\tsd_common.dat.~1"));
    EXPECT_TRUE(fake::FolderExistsAt(kCommon + u"\\tsd_common.dat.~0")) << "a folder is not ours";
    EXPECT_EQ(plat::kFileAttributeArchive, plat::GetFileAttributesW(kMain + u"\\License.txt.~0"))
        << "the link stays (Wine shows the file it points at)";
    fake::SetLinksAsUnderWine(false);
}

TEST(Leftovers, ALinkAtATemporaryNameIsPassedOverWhereWineShowsItAsAFile) {
    ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
    ASSERT_EQ(0, SilentSetup());
    fake::StartNextProcess();
    fake::SetLinksAsUnderWine(true);
    fake::PutFile(u"C:\\Victim\\victim.txt", "not yours");
    fake::PutLink(kMain + u"\\tsd.exe.~0", u"C:\\Victim\\victim.txt", false);
    EXPECT_EQ(0, SilentSetup());
    fake::StartNextProcess();
    EXPECT_EQ("not yours", fake::FileBytes(u"C:\\Victim\\victim.txt"));
    EXPECT_EQ(Names{u"victim.txt"}, fake::ListTree(u"C:\\Victim"));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\tsd.exe.~1")) << "the next name was used and moved";
    fake::SetLinksAsUnderWine(false);
}

}  // namespace
