// A reinstallation over files that already hold exactly what the payload gives them: those files
// are left as they are (nothing written, stamped, flushed or moved), and the run leaves everything
// as a run that replaces them would. A file that differs in any way is replaced as ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/LinkGuard.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "payload/PayloadFormat.h"
#include "platform/Handles.h"
#include "tests/host/TestMachine.h"

namespace {

using fake::Operation;

const double kStamp = 46000.5;
const plat::Wide kFolder = u"C:\\Apps\\Tessaron";
const plat::Wide kExe = u"C:\\Apps\\Tessaron\\tsd.exe";
const plat::FileTime kOtherTime = 130000000000000000ull;

// Larger than one piece of the comparison, so that a difference far inside is found too.
std::string Program() {
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) >> 5);
    return bytes;
}

// The operations that write a file.
constexpr Operation kWrites[] = {Operation::CreateFile, Operation::WriteFile, Operation::SetFileTime,
                                 Operation::FlushFile, Operation::MoveFile, Operation::DeleteFile};

struct Counts {
    int of[fake::kOperationKinds] = {};
    static Counts Now() {
        Counts c;
        for (int k = 0; k < fake::kOperationKinds; ++k) c.of[k] = fake::OperationCount(static_cast<Operation>(k));
        return c;
    }
    int operator[](Operation op) const { return of[static_cast<int>(op)]; }
    Counts operator-(const Counts& earlier) const {
        Counts d;
        for (int k = 0; k < fake::kOperationKinds; ++k) d.of[k] = of[k] - earlier.of[k];
        return d;
    }
};

plat::FileTime CreationTime(const plat::Wide& path) {
    plat::TFileHandle file(plat::CreateFileW(path, 0, plat::kFileShareRead, plat::kOpenExisting, 0));
    plat::FileTime created = 0;
    plat::GetFileTime(file.Get(), &created, nullptr, nullptr);
    return created;
}

class Reinstall : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        std::string raw;
        AppendPayloadEntry(&raw, "tsd.exe", kStamp, Program());
        fake::SetResource("FILES", "FILES", DeflateForTest(raw));
        files = std::make_unique<TAttachedFiles>();
        ASSERT_TRUE(files->Loaded());
        StartInstallLog(kFolder, true);
        Silent = true;
        // The first installation, a while before the second.
        ASSERT_TRUE(Install());
        installedTime = fake::FileWriteTime(kExe);
        installedCreation = CreationTime(kExe);
        fake::SetLocalTime(plat::SystemTimeOf(2026, 3, 15, 9, 0, 0));
        LogList->clear();
    }
    bool Install() { return files->InstallFile(files->Entries[0].get(), "", kExe); }
    std::unique_ptr<TAttachedFiles> files;
    plat::FileTime installedTime = 0, installedCreation = 0;
};

TEST_F(Reinstall, AnUnchangedFileIsNotWrittenFlushedOrMovedButLoggedAsEver) {
    // What a run killed before its move left beside it goes all the same.
    fake::PutFile(kExe + u".~0", "half of a program");
    Counts before = Counts::Now();
    ASSERT_TRUE(Install());
    Counts done = Counts::Now() - before;
    for (Operation op : kWrites) {
        if (op == Operation::DeleteFile) continue;
        EXPECT_EQ(0, done[op]) << fake::OperationName(op);
    }
    EXPECT_EQ(1, done[Operation::DeleteFile]) << "the leftover";
    EXPECT_EQ(Program(), fake::FileBytes(kExe));
    EXPECT_EQ(installedTime, fake::FileWriteTime(kExe));
    EXPECT_EQ(installedCreation, CreationTime(kExe)) << "the file itself was kept";
    EXPECT_EQ((std::vector<std::string>{"File Copy: " + Utf8Of(kExe)}), *LogList);
    EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(kFolder));
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(Reinstall, InAHeldFolderTheLeftoverBesideAnUnchangedFileStillGoes) {
    GuardFolder(kFolder);
    fake::PutFile(kExe + u".~0", "half of a program");
    Counts before = Counts::Now();
    ASSERT_TRUE(Install());
    Counts done = Counts::Now() - before;
    EXPECT_EQ(0, done[Operation::CreateFile]);
    EXPECT_EQ(1, done[Operation::DeleteFile]) << "the leftover";
    EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(kFolder));
    ForgetGuardedFolders();
}

// The file's final path is asked in either case (Wine opens what a link leads to, even through the
// folder's handle); the folder's is the one its hold found, not asked again.
TEST_F(Reinstall, InAHeldFolderAnUnchangedFileAsksOnlyItsOwnFinalPath) {
    GuardFolder(kFolder);
    ASSERT_TRUE(NoLinkOnTheWay(kExe));
    int before = fake::FinalPathCount();
    Counts writes = Counts::Now();
    ASSERT_TRUE(Install());
    EXPECT_EQ(0, (Counts::Now() - writes)[Operation::CreateFile]) << "kept";
    EXPECT_EQ(1, fake::FinalPathCount() - before);
    EXPECT_EQ(installedCreation, CreationTime(kExe));
    ForgetGuardedFolders();
    // Where the run holds no folder, the folder's final path is asked too.
    before = fake::FinalPathCount();
    ASSERT_TRUE(Install());
    EXPECT_EQ(2, fake::FinalPathCount() - before);
    EXPECT_EQ(installedCreation, CreationTime(kExe));
}

TEST_F(Reinstall, InAHeldFolderOfAnEarlierRunAnUnchangedFileIsNotLookedUpByItsPath) {
    GuardFolder(kFolder);
    ASSERT_TRUE(NoLinkOnTheWay(kExe));
    int before = fake::AttributeLookupCount();
    Counts writes = Counts::Now();
    ASSERT_TRUE(Install());
    EXPECT_EQ(0, (Counts::Now() - writes)[Operation::CreateFile]) << "kept";
    EXPECT_EQ(0, fake::AttributeLookupCount() - before);
    EXPECT_EQ(installedCreation, CreationTime(kExe));
    ForgetGuardedFolders();
}

TEST_F(Reinstall, AFolderOfAnEarlierRunIsKnownToExistByItsHoldWithoutALookOfItsOwn) {
    ForgetKnownFolders();  // a new run
    GuardFolder(kFolder);
    int before = fake::CurrentFolderChangeCount();
    ASSERT_TRUE(Install());
    EXPECT_EQ(0, fake::CurrentFolderChangeCount() - before);
    EXPECT_EQ((std::vector<std::string>{"File Copy: " + Utf8Of(kExe)}), *LogList) << "nothing made";
    ForgetGuardedFolders();
}

TEST(HeldFolderAge, AFolderWasThereWhenItExistedAtTheRunsFirstLook) {
    StartFreshProcess();
    fake::PutFolder(u"C:\\G\\Old");
    GuardFolder(u"C:\\G");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\Old\\x.txt"));
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\New\\x.txt"));
    ASSERT_TRUE(plat::CreateDirectoryW(u"C:\\G\\New"));
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\New\\x.txt"));
    ASSERT_NE(plat::kInvalidHandle, HeldFolder(u"C:\\G\\New"));
    EXPECT_TRUE(HeldFolderWasThere(u"C:\\G\\Old\\"));
    EXPECT_TRUE(HeldFolderWasThere(u"c:\\g\\old")) << "in any spelling";
    EXPECT_TRUE(HeldFolderWasThere(u"C:\\G\\"));
    EXPECT_FALSE(HeldFolderWasThere(u"C:\\G\\New\\")) << "made after the first look";
    fake::PutFolder(u"C:\\Free");
    EXPECT_FALSE(HeldFolderWasThere(u"C:\\Free\\")) << "not held";
    // A new run looks anew: the folder is an earlier run's now.
    ForgetGuardedFolders();
    GuardFolder(u"C:\\G");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\New\\x.txt"));
    EXPECT_TRUE(HeldFolderWasThere(u"C:\\G\\New\\"));
    ForgetGuardedFolders();
}

TEST(HeldFolderListing, AnswersOncePerRunAndOnlyForAHeldFolder) {
    StartFreshProcess();
    fake::PutFolder(u"C:\\G\\Empty");
    fake::PutFile(u"C:\\G\\Left\\a.txt.~3", "left by a killed run");
    fake::PutFolder(u"C:\\Free");
    GuardFolder(u"C:\\G");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\Empty\\x.txt"));
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\Left\\x.txt"));
    EXPECT_FALSE(HeldFolderMayHold(u"C:\\G\\Empty\\", u"*.~*"));
    EXPECT_TRUE(HeldFolderMayHold(u"C:\\G\\Left\\", u"*.~*"));
    EXPECT_TRUE(HeldFolderMayHold(u"C:\\Free\\", u"*.~*")) << "a folder the run does not hold";
    // The first answer stands for the run: it is about what earlier runs left.
    fake::PutFile(u"C:\\G\\Empty\\b.txt.~0", "");
    EXPECT_FALSE(HeldFolderMayHold(u"C:\\G\\Empty\\", u"*.~*"));
    EXPECT_TRUE(HeldFolderMayHold(u"C:\\G\\Empty\\", u"*.~0")) << "another pattern is listed anew";
    ForgetGuardedFolders();
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\G\\Empty\\x.txt"));
    EXPECT_TRUE(HeldFolderMayHold(u"C:\\G\\Empty\\", u"*.~*")) << "a new run lists it again";
    ForgetGuardedFolders();
}

TEST_F(Reinstall, AFileThatDiffersInAnyWayIsReplaced) {
    const std::string program = Program();
    std::string changedByte = program;
    changedByte[150000] ^= 1;
    const struct {
        const char* name;
        std::string bytes;
        plat::FileTime time;  // 0: the installed stamp
    } cases[] = {
        {"one changed byte", changedByte, 0},
        {"a changed stamp", program, installedTime + 20000000},
        {"truncated", program.substr(0, 65536), 0},
        {"one byte longer", program + "x", 0},
        {"empty", "", 0},
    };
    int minute = 0;
    // In a folder the run does not hold, and in one that it holds from an earlier run.
    for (bool held : {false, true})
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (held ? ", held folder" : ""));
        if (held) {
            GuardFolder(kFolder);
            ASSERT_TRUE(NoLinkOnTheWay(kExe));
            ASSERT_TRUE(HeldFolderWasThere(kFolder));
        }
        fake::PutFile(kExe, c.bytes, c.time ? c.time : installedTime);
        plat::FileTime created = CreationTime(kExe);
        fake::SetLocalTime(plat::SystemTimeOf(2026, 3, 15, 9, ++minute, 0));
        Counts before = Counts::Now();
        ASSERT_TRUE(Install());
        Counts done = Counts::Now() - before;
        EXPECT_EQ(1, done[Operation::MoveFile]);
        EXPECT_EQ(1, done[Operation::FlushFile]);
        EXPECT_EQ(program, fake::FileBytes(kExe));
        EXPECT_EQ(installedTime, fake::FileWriteTime(kExe));
        EXPECT_NE(created, CreationTime(kExe)) << "a new file took its place";
        EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(kFolder));
        ForgetGuardedFolders();
    }
}

// The same bytes and stamp at a place that the write does not reach as the file itself, or that
// it cannot replace: the outcome is the one of a file whose bytes differ, whatever it is.
TEST_F(Reinstall, AFileNotReachedAsItselfOrNotReplaceableIsTreatedAsAnyOther) {
    const std::string program = Program();
    std::string changed = program;
    changed[0] ^= 1;
    const plat::Wide elsewhere = u"C:\\Elsewhere\\tsd.exe";
    const struct {
        const char* name;
        std::function<void(const std::string& bytes)> plant;
    } cases[] = {
        {"a link to the file elsewhere",
         [&](const std::string& bytes) {
             fake::PutFile(elsewhere, bytes, installedTime);
             plat::DeleteFileW(kExe);
             fake::PutLink(kExe, elsewhere, false);
         }},
        {"a link to the file elsewhere, as Wine shows it",
         [&](const std::string& bytes) {
             fake::PutFile(elsewhere, bytes, installedTime);
             plat::DeleteFileW(kExe);
             fake::PutLink(kExe, elsewhere, false);
             fake::SetLinksAsUnderWine(true);
         }},
        {"a read-only file",
         [&](const std::string& bytes) {
             fake::PutFile(kExe, bytes, installedTime);
             fake::SetAttributes(kExe, plat::kFileAttributeReadOnly);
         }},
        {"a file with a second name",
         [&](const std::string& bytes) {
             fake::PutFile(kExe, bytes, installedTime);
             fake::SetHardLinkCount(kExe, 2);
         }},
        {"a file another program holds open",
         [&](const std::string& bytes) {
             fake::PutFile(kExe, bytes, installedTime);
             fake::HoldOpen(kExe);
         }},
    };
    for (bool held : {false, true})
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (held ? ", held folder" : ""));
        struct Outcome {
            bool ok;
            int32_t exitCode;
            Counts done;
            std::vector<plat::Wide> tree;
            std::string atTarget;
        };
        auto run = [&](const std::string& bytes) {
            fake::SaveMachine();
            if (held) {
                GuardFolder(kFolder);
                EXPECT_TRUE(NoLinkOnTheWay(kExe));
            }
            c.plant(bytes);
            ExitCode = 0;
            Counts before = Counts::Now();
            Outcome out;
            out.ok = Install();
            out.exitCode = ExitCode;
            out.done = Counts::Now() - before;
            fake::SetLinksAsUnderWine(false);
            fake::HoldOpen(kExe, false);
            out.tree = fake::ListTree(u"C:\\Apps");
            out.atTarget = fake::FileExistsAt(elsewhere) ? fake::FileBytes(elsewhere) : "none";
            ForgetGuardedFolders();
            fake::RestoreMachine();
            return out;
        };
        Outcome same = run(program), differing = run(changed);
        EXPECT_EQ(differing.ok, same.ok);
        EXPECT_EQ(differing.exitCode, same.exitCode);
        for (Operation op : kWrites) EXPECT_EQ(differing.done[op], same.done[op]) << fake::OperationName(op);
        EXPECT_EQ(differing.tree, same.tree);
        EXPECT_EQ(differing.atTarget == "none", same.atTarget == "none");
    }
}

// ---- A whole reinstallation ----

int SilentSetup() {
    ResetProcessState();
    fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" -S");
    int code = SetupMain();
    fake::StartNextProcess();
    return code;
}

struct FileState {
    std::string bytes;
    plat::FileTime written;
    bool operator==(const FileState& other) const {
        return bytes == other.bytes && written == other.written;
    }
};

std::map<plat::Wide, FileState> Machine() {
    std::map<plat::Wide, FileState> files;
    for (const plat::Wide& name : fake::ListTree(u"C:\\"))
        if (name.back() != u'\\') files[name] = {fake::FileBytes(u"C:\\" + name), fake::FileWriteTime(u"C:\\" + name)};
    return files;
}

TEST(WholeReinstall, LeavesWhatReplacingEveryFileLeavesWithoutWritingAPayloadFile) {
    ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
    ASSERT_EQ(0, SilentSetup());
    std::vector<plat::Wide> destinations;
    for (const auto& file : AttachedFiles->ToInstall) destinations.push_back(file->Dest);
    ASSERT_EQ(260u, destinations.size());
    fake::SetLocalTime(plat::SystemTimeOf(2026, 3, 15, 9, 0, 0));
    fake::SaveMachine();

    // Over files as the first run left them.
    Counts start = Counts::Now();
    ASSERT_EQ(0, SilentSetup());
    Counts kept = Counts::Now() - start;
    auto afterKept = Machine();
    std::map<plat::Wide, plat::FileTime> created;
    for (const plat::Wide& dest : destinations) created[dest] = CreationTime(dest);

    // Over the same files, each with another time stamp: every one is replaced.
    fake::RestoreMachine();
    std::map<plat::Wide, plat::FileTime> createdFirst;
    for (const plat::Wide& dest : destinations) {
        createdFirst[dest] = CreationTime(dest);
        fake::PutFile(dest, fake::FileBytes(dest), kOtherTime);
    }
    start = Counts::Now();
    ASSERT_EQ(0, SilentSetup());
    Counts replaced = Counts::Now() - start;

    EXPECT_TRUE(afterKept == Machine()) << "the same files, bytes, stamps and logs";
    for (const plat::Wide& dest : destinations)
        EXPECT_EQ(createdFirst[dest], created[dest]) << Utf8Of(dest) << " was written again";
    // Every payload file is one replacement fewer: one temporary file created, written, stamped,
    // flushed and moved.
    for (Operation op : {Operation::CreateFile, Operation::SetFileTime, Operation::FlushFile,
                         Operation::MoveFile})
        EXPECT_EQ(260, replaced[op] - kept[op]) << fake::OperationName(op);
    EXPECT_EQ(replaced[Operation::RegSetValue], kept[Operation::RegSetValue]);
}

}  // namespace
