// The framework's own run-time class check: As<T> answers for every control class and every
// target as the class tree says (a class is itself and each class it derives from, nothing else),
// keeps the object's address and its constness, and refuses nullptr.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/host/TestMachine.h"
#include "ui/Form.h"
#include "wizard/FileCtrl.h"
#include "wizard/MainDlg.h"

namespace {

template <class T>
std::unique_ptr<TControl> Make() {
    return std::make_unique<T>();
}

// One column of the table: whether As<T> takes the object, checked on the plain and the const
// pointer, which must both give the object's own address.
template <class T>
char Column(TControl* control) {
    T* plain = As<T>(control);
    const T* constant = As<T>(static_cast<const TControl*>(control));
    EXPECT_EQ(static_cast<const void*>(plain), static_cast<const void*>(constant));
    if (plain) {
        EXPECT_EQ(static_cast<void*>(control), static_cast<void*>(plain));
    }
    return plain ? 'y' : '.';
}

using TColumn = char (*)(TControl*);
const TColumn kColumns[] = {
    Column<TControl>,    Column<TWinControl>,       Column<TLabel>,         Column<TButton>,
    Column<TCheckBox>,   Column<TEdit>,             Column<TMemo>,          Column<TItemList>,
    Column<TComboBox>,   Column<TListBox>,          Column<TPanel>,         Column<TBevel>,
    Column<TImage>,      Column<TPageControl>,      Column<TTabSheet>,      Column<TForm>,
    Column<TDirectoryListBox>, Column<TDriveComboBox>, Column<TMainDlgForm>,
};

struct Row {
    const char* name;
    std::unique_ptr<TControl> (*make)();
    // One letter per column above: y when the object is one of that class.
    const char* expected;
};

// Columns:                          Control
//                                   |WinControl
//                                   ||Label
//                                   |||Button
//                                   ||||CheckBox
//                                   |||||Edit
//                                   ||||||Memo
//                                   |||||||ItemList
//                                   ||||||||ComboBox
//                                   |||||||||ListBox
//                                   ||||||||||Panel
//                                   |||||||||||Bevel
//                                   ||||||||||||Image
//                                   |||||||||||||PageControl
//                                   ||||||||||||||TabSheet
//                                   |||||||||||||||Form
//                                   ||||||||||||||||DirectoryListBox
//                                   |||||||||||||||||DriveComboBox
//                                   ||||||||||||||||||MainDlgForm
const Row kRows[] = {
    {"TLabel", Make<TLabel>,         "y.y................"},
    {"TButton", Make<TButton>,       "yy.y..............."},
    {"TCheckBox", Make<TCheckBox>,   "yy..y.............."},
    {"TEdit", Make<TEdit>,           "yy...y............."},
    {"TMemo", Make<TMemo>,           "yy....y............"},
    {"TComboBox", Make<TComboBox>,   "yy.....yy.........."},
    {"TListBox", Make<TListBox>,     "yy.....y.y........."},
    {"TPanel", Make<TPanel>,         "yy........y........"},
    {"TBevel", Make<TBevel>,         "y..........y......."},
    {"TImage", Make<TImage>,         "y...........y......"},
    {"TPageControl", Make<TPageControl>, "yy...........y....."},
    {"TTabSheet", Make<TTabSheet>,   "yy............y...."},
    {"TForm", Make<TForm>,           "yy.............y..."},
    {"TDirectoryListBox", Make<TDirectoryListBox>, "yy.....y.y......y.."},
    {"TDriveComboBox", Make<TDriveComboBox>, "yy.....yy........y."},
};

TEST(ClassType, EachControlClassIsItselfAndWhatItDerivesFromAndNothingElse) {
    StartFreshProcess();  // the folder and drive controls ask the platform when made
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<TControl> control = row.make();
        std::string answers;
        for (TColumn column : kColumns) answers += column(control.get());
        EXPECT_EQ(row.expected, answers);
    }
}

TEST(ClassType, TheWizardsFormIsAFormAndAContainer) {
    // Made by the wizard alone (it reads its description and the machine); its class chain is
    // what As<T> follows.
    EXPECT_TRUE(TMainDlgForm::Class.InheritsFrom(TForm::Class));
    EXPECT_TRUE(TMainDlgForm::Class.InheritsFrom(TWinControl::Class));
    EXPECT_TRUE(TMainDlgForm::Class.InheritsFrom(TControl::Class));
    EXPECT_FALSE(TMainDlgForm::Class.InheritsFrom(TPanel::Class));
    EXPECT_FALSE(TForm::Class.InheritsFrom(TMainDlgForm::Class));
}

TEST(ClassType, NothingIsNoClass) {
    TControl* none = nullptr;
    const TControl* constNone = nullptr;
    EXPECT_EQ(nullptr, As<TControl>(none));
    EXPECT_EQ(nullptr, As<TButton>(none));
    EXPECT_EQ(nullptr, As<TWinControl>(constNone));
}

}  // namespace
