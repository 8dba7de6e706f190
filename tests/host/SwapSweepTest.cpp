// Another user who can write a folder on the way swaps it, at any moment, for a link to a victim
// tree with the same names: before each operation in turn of a silent installation, a
// reinstallation and both steps of the removal, each folder of the installation folder and of the
// shared data folder (those two included) is renamed away and a link put in its place, where the
// run lets it. Whatever the run then does, nothing in the victim tree changes. "make swap-sweep"
// tries every operation with every folder; a fixed sample of them runs with the other tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "tests/host/RemovalMachine.h"
#include "tests/host/SilentRuns.h"

namespace {

using removal_test::Names;
using removal_test::TreeOf;
using removal_test::TTree;

const plat::Wide kVictim = u"C:\\Victim";

// The folders a swap may hit: the two roots and every folder below them, as a whole
// installation has them.
Names WayFolders() {
    Names folders;
    for (const plat::Wide& root : {kMain, kCommon}) {
        folders.push_back(root);
        for (const plat::Wide& name : fake::ListTree(root))
            if (name.back() == u'\\') folders.push_back(root + u"\\" + name.substr(0, name.size() - 1));
    }
    return folders;
}

struct TSwap {
    int operation;
    size_t folder;
};

// Every (operation, folder) pair with TSD_SWAP_SWEEP=all ("make swap-sweep"), else a sample that
// a seed fixes.
std::vector<TSwap> SwapPoints(int operations, size_t folders, size_t sample) {
    std::vector<TSwap> all;
    for (int n = 1; n <= operations; ++n)
        for (size_t f = 0; f < folders; ++f) all.push_back({n, f});
    const char* mode = std::getenv("TSD_SWAP_SWEEP");
    if ((mode && std::string(mode) == "all") || all.size() <= sample) return all;
    std::mt19937 random(20261208);
    std::shuffle(all.begin(), all.end(), random);
    all.resize(sample);
    return all;
}

class SwapSweep : public ::testing::Test {
protected:
    // `prepare` brings a clean machine to where the swept run starts; `run` is that run.
    // With Windows' links, then with Wine's (which a handle opened on a link follows, so that only
    // the final path tells).
    void Sweep(const char* what, const std::function<void()>& prepare, const std::function<int()>& run,
               size_t sample) {
        for (bool asWine : {false, true}) {
            SCOPED_TRACE(asWine ? "links as under Wine" : "links as on Windows");
            SweepWith(asWine, what, prepare, run, sample);
        }
    }

    void SweepWith(bool asWine, const char* what, const std::function<void()>& prepare,
                   const std::function<int()>& run, size_t sample) {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
        // The folders of a whole installation.
        ASSERT_EQ(0, SilentSetup());
        fake::StartNextProcess();
        const Names folders = WayFolders();
        ASSERT_TRUE(StartFreshProcessWithRealPayload());
        fake::SetLinksAsUnderWine(asWine);
        prepare();
        fake::SaveMachine();
        int counted = 0;
        fake::BeforeEachOperation([&](fake::Operation, const plat::Wide&) { ++counted; });
        run();
        fake::BeforeEachOperation(nullptr);
        fake::StartNextProcess();
        const int operations = counted;
        ASSERT_GT(operations, 0);

        int failures = 0, swapped = 0, held = 0;
        std::vector<TSwap> points = SwapPoints(operations, folders.size(), sample);
        for (const TSwap& point : points) {
            if (failures >= 3) break;
            const plat::Wide& folder = folders[point.folder];
            SCOPED_TRACE(std::string(what) + ": " + Utf8Of(folder) + " swapped before operation " +
                         std::to_string(point.operation));
            fake::RestoreMachine();
            TTree victim;
            bool tried = false;
            int n = 0;
            fake::BeforeEachOperation([&](fake::Operation, const plat::Wide&) {
                if (++n != point.operation || !fake::FolderExistsAt(folder)) return;
                // A victim tree with the folder's names, then the swap.
                for (const plat::Wide& name : fake::ListTree(folder))
                    if (name.back() == u'\\') fake::PutFolder(kVictim + u"\\" + name);
                    else fake::PutFile(kVictim + u"\\" + name, "the victim's " + Utf8Of(name));
                fake::PutFolder(kVictim);
                victim = TreeOf(kVictim);
                tried = true;
                if (fake::SwapForLink(folder, kVictim)) ++swapped;
                else ++held;
            });
            run();
            fake::BeforeEachOperation(nullptr);
            fake::StartNextProcess();
            if (tried) EXPECT_EQ(victim, TreeOf(kVictim)) << "something changed where the link points";
            if (HasFailure()) ++failures;
        }
        std::printf("swap sweep, %s%s: %zu swaps tried of %d operations x %zu folders (%d swapped, %d held)\n",
                    what, asWine ? " (Wine's links)" : "", points.size(), operations, folders.size(), swapped, held);
    }
};

TEST_F(SwapSweep, AFirstInstallation) {
    Sweep("first installation", [] {}, [] { return SilentSetup(); }, 120);
}

TEST_F(SwapSweep, AReinstallation) {
    Sweep("reinstallation", [] { SilentSetup(); fake::StartNextProcess(); },
          [] { return SilentSetup(); }, 120);
}

TEST_F(SwapSweep, TheRemovalsFirstStep) {
    Sweep("removal", [] { SilentSetup(); fake::StartNextProcess(); },
          [] { return SilentRemovalStep(); }, 120);
}

TEST_F(SwapSweep, TheFinishingCopysStep) {
    Sweep("finishing copy",
          [] {
              SilentSetup();
              fake::StartNextProcess();
              SilentRemovalStep();
              fake::StartNextProcess();
          },
          [] { return FinishUninstall(kMain); }, 60);
}

}  // namespace
