// The removal's test machine: a clean fake machine, a silent installation by the setup program,
// and "tsd.exe -ui" as a process of the installed program whose finishing copy is recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "standin/Uninstall.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/AppRunning.h"
#include "wizard/engine/Registry.h"

namespace removal_test {

using Names = std::vector<plat::Wide>;

inline const plat::Wide kProgram = kMain + u"\\tsd.exe";
inline const plat::Wide kLog = kMain + u"\\Install.log";
inline const plat::Wide kTemplate = kCommon + u"\\Public\\Templates\\Letters\\Business Letter.rtf";
inline const plat::Wide kProgramsLink =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaron Word Processor.lnk";
// Where an installation for all users (the silent default) puts its shortcuts.
inline const plat::Wide kDesktopLink = u"C:\\Users\\Public\\Desktop\\Tessaron Word Processor.lnk";

// A folder's names and the bytes of each file in it.
struct TTree {
    Names names;
    std::vector<std::string> bytes;
    bool operator==(const TTree& other) const { return names == other.names && bytes == other.bytes; }
};

inline TTree TreeOf(const plat::Wide& folder) {
    TTree tree;
    tree.names = fake::ListTree(folder);
    for (const plat::Wide& name : tree.names)
        if (name.back() != u'\\') tree.bytes.push_back(fake::FileBytes(folder + u"\\" + name));
    return tree;
}

class Uninstalling : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
        before_ = fake::ListTree(u"C:\\");
    }

    // The setup program, silently, as a process of its own.
    void Install(const plat::Wide& arguments = u"-S") {
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        ASSERT_EQ(0, SetupMain());
        ASSERT_TRUE(fake::ShownBoxes().empty());
    }

    // "<program> -ui" as a new process of the installed program; the finishing copy is recorded,
    // not run.
    int Remove(bool silent, const plat::Wide& program = kProgram, bool finishStarts = true) {
        ResetRunFlags();
        ResetInstallLog();
        ResetUILangState();
        fake::SetModuleFileName(program);
        finishFolders_.clear();
        TUninstallOptions options;
        options.ProgramPath = program;
        options.Silent = silent;
        options.StartFinish = [this, finishStarts](const plat::Wide& folder) {
            finishFolders_.push_back(folder);
            return finishStarts;
        };
        return Uninstall(options);
    }

    // Both steps, as the program and its copy in the temporary folder run them.
    int RemoveAll(bool silent) {
        int code = Remove(silent);
        if (code == kUninstallRemoved) {
            EXPECT_EQ(Names{kMain + u"\\"}, finishFolders_);
            EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
        }
        return code;
    }

    static bool KeysPresent() {
        return fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey) &&
               fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey);
    }
    static bool KeysGone() {
        return !fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey) &&
               !fake::RegKeyExists(plat::kHKeyCurrentUser, kProductKey) &&
               !fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey);
    }
    // What the machine holds beyond its state before the installation.
    Names Added() const {
        Names now = fake::ListTree(u"C:\\"), added;
        std::set_difference(now.begin(), now.end(), before_.begin(), before_.end(),
                            std::back_inserter(added));
        return added;
    }
    static plat::Wide LastBoxText() {
        return fake::ShownBoxes().empty() ? plat::Wide() : fake::ShownBoxes().back().text;
    }

    Names before_;
    Names finishFolders_;
};

}  // namespace removal_test
