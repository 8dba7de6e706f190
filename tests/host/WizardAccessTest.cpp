// What a screen-reader user and a keyboard user meet in the wizard, on the fake machine: the
// names read for each control, the reading order, the owner of the message boxes, the colours
// under high contrast, and a window that answers while the files are written.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "tests/host/TestMachine.h"
#include "ui/Accessibility.h"
#include "ui/TextFit.h"

namespace {

class WizardAccess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE; }
    int Run(const plat::Wide& arguments, std::vector<TModalStep> user = {}) {
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        SetHeadlessModalSteps(std::move(user));
        return SetupMain();
    }
    static TMainDlgForm& Form() { return *MainDlgForm; }
    static void CloseNow() {
        Form().CloseAllowed = true;
        Form().Close();
    }
};

// Every control of the tree in creation order (depth first), as the windows are made.
void Flatten(const TWinControl& parent, std::vector<const TControl*>* out) {
    for (auto& child : parent.Children()) {
        out->push_back(child.get());
        if (auto* container = dynamic_cast<const TWinControl*>(child.get())) Flatten(*container, out);
    }
}

TEST(AccessibleName, CaptionsAreReadWithoutAcceleratorsAndBlanks) {
    struct Case {
        Wide caption, read;
    } cases[] = {
        {u"&Next >", u"Next >"},      {u"  ?  ", u"?"},         {u"Save && exit", u"Save & exit"},
        {u"< &B返回", u"< B返回"},    {u"Cancel", u"Cancel"},   {u"&", u""},
        {u"   ", u""},               {u"Langue :", u"Langue :"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.read, WithoutAccelerator(c.caption)) << Utf8Of(c.caption);
}

TEST(HighContrast, FixedColoursGiveWayToTheSystemsOnlyWhenItIsOn) {
    struct Case {
        TColor designed;
        bool on;
        TColor background, text;
    } cases[] = {
        {clWhite, false, clWhite, clWhite},
        {clNavy, false, clNavy, clNavy},
        {clWhite, true, clWindow, clWindowText},
        {clNavy, true, clWindow, clWindowText},
        {clBtnFace, true, clBtnFace, clBtnFace},  // a system colour is the user's already
        {clDefault, true, clDefault, clWindowText},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.background, ShownBackground(c.designed, c.on)) << std::hex << c.designed << " " << c.on;
        EXPECT_EQ(c.text, ShownTextColor(c.designed, c.on)) << std::hex << c.designed << " " << c.on;
    }
}

// The names a screen reader reads on the destination page, and for the language box and the
// licence text through their labels, in each language.
TEST_F(WizardAccess, EveryOperatedControlHasANameInTheRunsLanguage) {
    struct Row {
        int lang;
        Wide edit, folders, drive, help, language;
    } rows[] = {
        {0, u"Zielordner", u"Ordner", u"Laufwerk", u"Hilfe zur portablen Version", u"Sprache:"},
        {1, u"Destination folder", u"Folders", u"Drive", u"Help on portable copies", u"Language:"},
        {2, u"Carpeta de destino", u"Carpetas", u"Unidad", u"Ayuda sobre la instalación portátil", u"Idioma:"},
        {3, u"Dossier d'installation", u"Dossiers", u"Lecteur", u"Aide sur la copie portable", u"Langue :"},
        {4, u"目标文件夹", u"文件夹", u"驱动器", u"便携式安装帮助", u"语言:"},
        {5, u"目標文件夾", u"文件夾", u"驅動器", u"便攜式安裝幫助", u"語言:"},
    };
    std::vector<TModalStep> user = {[&](TForm&) {
        TMainDlgForm& f = Form();
        for (const Row& row : rows) {
            f.LangBox->UserSelected(row.lang);
            SCOPED_TRACE(row.lang);
            EXPECT_EQ(row.edit, AccessibleNameOf(*f.DestDirEdt));
            EXPECT_EQ(row.folders, AccessibleNameOf(*f.DestDirLstBx));
            EXPECT_EQ(row.drive, AccessibleNameOf(*f.DestDirCmbBx));
            EXPECT_EQ(row.help, AccessibleNameOf(*f.PortableInfoBtn));
            EXPECT_EQ(row.language, AccessibleNameOf(*f.LangBox));
            EXPECT_EQ(WithoutAccelerator(f.LicenseLbl->Caption()), AccessibleNameOf(*f.LicenseMemo));
            // And no control the user can reach with Tab is nameless.
            std::vector<const TControl*> all;
            Flatten(f, &all);
            for (const TControl* c : all) {
                auto* operated = dynamic_cast<const TWinControl*>(c);
                if (operated && operated->TabStop) EXPECT_FALSE(AccessibleNameOf(*c).empty()) << c->Name;
            }
        }
        CloseNow();
    }};
    Run(u"", user);
}

// Creation order is the reading order and the tab order: within each parent the controls come
// from the top down (a label and its control share a row), and each label that names a control
// comes right before it.
TEST_F(WizardAccess, CreationOrderReadsFromTheTopDownWithEachLabelBeforeItsControl) {
    std::vector<TModalStep> user = {[&](TForm&) {
        TMainDlgForm& f = Form();
        std::vector<const TControl*> all;
        Flatten(f, &all);
        for (const TControl* c : all) {
            auto* parent = dynamic_cast<const TWinControl*>(c);
            if (!parent) continue;
            const TControl* previous = nullptr;
            for (auto& child : parent->Children()) {
                if (previous)
                    EXPECT_GE(child->Top(), previous->Top() - 8)
                        << child->Name << " is read after " << previous->Name << " but lies above it";
                previous = child.get();
            }
        }
        std::vector<const TControl*> top;
        for (auto& child : f.Children()) top.push_back(child.get());
        ASSERT_EQ(5u, top.size());
        EXPECT_EQ("TopPanel", top[0]->Name) << "the title is read first";
        EXPECT_EQ("BottomPanel", top[4]->Name) << "Back, Next and Cancel are read last";
        EXPECT_EQ(f.LangLbl, LabelBefore(*f.LangBox));
        EXPECT_EQ(f.LicenseLbl, LabelBefore(*f.LicenseMemo));
        // Groups start at each label and at each control without one; a labelled control
        // belongs to its label's group.
        EXPECT_TRUE(StartsGroup(*f.LangLbl));
        EXPECT_FALSE(StartsGroup(*f.LangBox));
        EXPECT_TRUE(StartsGroup(*f.DestDirEdt));
        EXPECT_TRUE(StartsGroup(*f.NextBtn));
        EXPECT_FALSE(StartsGroup(*f.PgCtrl)) << "a container is not operated";
        CloseNow();
    }};
    Run(u"", user);
}

// A message box belongs to the shown wizard, so that closing it activates the wizard again.
TEST_F(WizardAccess, MessageBoxesAreOwnedByTheShownWizard) {
    fake::ScriptAnswers({plat::kIdNo, plat::kIdYes});
    std::vector<TModalStep> user = {
        [](TForm& f) { f.Close(); },  // the quit question, answered No
        [](TForm&) {
            Form().NextBtn->Click();
            Form().LicenseChkBx->UserToggled(false);
            Form().NextBtn->Click();  // the licence must be accepted
        },
        [](TForm& f) { f.Close(); },  // Yes
    };
    EXPECT_EQ(0, Run(u"", user));
    ASSERT_EQ(3u, fake::ShownBoxes().size());
    for (const auto& box : fake::ShownBoxes()) EXPECT_EQ(kHeadlessWindow, box.owner) << Utf8Of(box.text);

    // Once the wizard is gone, a box has no owner.
    ShowMessageBox("after", TMsgKind::Information, {TMsgButton::OK});
    ASSERT_EQ(4u, fake::ShownBoxes().size());
    EXPECT_EQ(0u, fake::ShownBoxes().back().owner);
}

// While the files are written the window answers between them: each file is shown on the page,
// and Next, Back, Cancel and the close button do nothing until the installation is done.
TEST_F(WizardAccess, TheInstallingPageAnswersBetweenFilesAndIgnoresPresses) {
    std::vector<Wide> shown;
    int pumps = 0;
    SetHeadlessMessageHook([&] {
        if (!MainDlgForm || Form().CurrentPage() != kInstallingPage) return;
        ++pumps;
        shown.push_back(Form().InstallingLbl->Caption());
        if (pumps == 5) {
            Form().NextBtn->Click();
            Form().BackBtn->Click();
            Form().CancelBtn->Click();
            Form().Close();
        }
    });
    std::vector<TModalStep> user = {
        [](TForm&) { Form().NextBtn->Click(); },
        [](TForm&) { Form().NextBtn->Click(); },
        [](TForm&) { Form().NextBtn->Click(); },
        [](TForm&) { Form().NextBtn->Click(); },  // installs
        [&](TForm&) {
            EXPECT_EQ(kFinishedPage, Form().CurrentPage());
            EXPECT_TRUE(Form().InstallingLbl->Caption().empty()) << "no file is being written now";
            Form().NextBtn->Click();
        },
    };
    EXPECT_EQ(0, Run(u"", user));
    SetHeadlessMessageHook(nullptr);
    EXPECT_TRUE(fake::ShownBoxes().empty()) << "no quit question while installing, and none after";
    EXPECT_EQ(260, pumps) << "once before each file";
    std::set<Wide> distinct(shown.begin(), shown.end());
    EXPECT_EQ(shown.size(), distinct.size());
    EXPECT_TRUE(distinct.count(kMain + u"\\tsd.exe"));
    EXPECT_TRUE(distinct.count(kMain + u"\\License.txt"));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Update.log")) << "the closing step ran";
}

// The message font at 150 %, as "Make text bigger" sets it: the headless metrics (6 pixels a
// character, 13 high) half as large again.
class BigTextBackend : public TBackend {
public:
    int RunModal(TForm&) override { return mrCancel; }
    int TextWidth(const TFont& font, const Wide& text) override {
        int unit = font.IsSystem() ? 9 : font.Height;
        int width = 0;
        for (char16_t c : text)
            if (c != u'&') width += c >= 0x2E80 ? 2 * unit : unit;
        return width;
    }
    int CharHeight(const TFont& font) override { return font.IsSystem() ? 20 : font.Height * 3 / 2; }
    void SetBusyCursor(bool) override {}
    void ApplicationChanged() override {}
    void TimerChanged(TTimer&) override {}
};

struct Box {
    std::string name;
    int left, top, right, bottom;
};

std::vector<Box> Layout(TForm& form) {
    std::vector<const TControl*> all;
    Flatten(form, &all);
    std::vector<Box> boxes{{form.Name, 0, 0, form.Width(), form.Height()}};
    for (const TControl* c : all) boxes.push_back({c->Name, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()});
    return boxes;
}

bool operator==(const Box& a, const Box& b) {
    return a.name == b.name && a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Labels sized to their text measure it again (in the backend's font).
void MeasureLabels(TForm& form) {
    std::vector<const TControl*> all;
    Flatten(form, &all);
    for (const TControl* c : all)
        if (auto* label = dynamic_cast<const TLabel*>(c)) const_cast<TLabel*>(label)->AdjustSize();
}

// At the usual text size nothing moves; at 150 % every text has its room, nothing leaves its
// parent, what lies below a grown control moves down, and back at the usual size the designed
// layout returns exactly.
TEST_F(WizardAccess, TextFitsAtOneAndAHalfTimesTheSizeAndTheDesignReturns) {
    std::vector<TModalStep> user = {[&](TForm&) {
        TMainDlgForm& f = Form();
        for (int lang : {1, 0, 3, 4}) {
            SCOPED_TRACE(lang);
            f.LangBox->UserSelected(lang);
            std::vector<Box> designed = Layout(f);
            FitToText(f);
            if (lang == 1) EXPECT_TRUE(designed == Layout(f)) << "English at the usual size is laid out as designed";
            designed = Layout(f);

            BigTextBackend big;
            SetBackend(&big);
            MeasureLabels(f);  // as they are measured in the user's font
            FitToText(f);
            const int ch = 20;
            // The ready text keeps its last line; the check boxes keep their captions.
            EXPECT_GE(f.StartLbl->Height(), WrappedTextHeight(f.StartLbl->EffectiveFont(), f.StartLbl->Caption(), f.StartLbl->Width()));
            EXPECT_GE(f.WelcomeLbl->Height(), WrappedTextHeight(f.WelcomeLbl->EffectiveFont(), f.WelcomeLbl->Caption(), f.WelcomeLbl->Width()));
            for (TCheckBox* box : {f.LicenseChkBx, f.InstallToAllChkBx, f.DesktopChkBx, f.FinishChkBx, f.PortableChkBx}) {
                int text = big.TextWidth(box->EffectiveFont(), box->Caption());
                int lines = WrappedTextHeight(box->EffectiveFont(), box->Caption(), box->Width() - ch - 4) / ch;
                EXPECT_GE(box->Width() - ch - 4, lines == 1 ? text : 0) << box->Name;
                EXPECT_GE(box->Height(), lines * ch) << box->Name << " shows " << lines << " lines";
                EXPECT_LE(box->Left() + box->Width(), box->Parent()->Width()) << box->Name;
                // The pages reach beyond the form's right edge: a box widens only within the form.
                EXPECT_LE(f.PgCtrl->Left() + box->Left() + box->Width(), f.Width()) << box->Name;
            }
            EXPECT_GE(f.DestDirEdt->Height(), ch + 6) << "the folder edit's text is not taller than its box";
            // A label sized to its text wraps where its line would leave the page's column.
            EXPECT_LE(f.LicenseLbl->Left() + f.LicenseLbl->Width(), f.LicenseMemo->Left() + f.LicenseMemo->Width());
            EXPECT_GE(f.LicenseLbl->Height(),
                      WrappedTextHeight(f.LicenseLbl->EffectiveFont(), f.LicenseLbl->Caption(), f.LicenseLbl->Width()));
            EXPECT_GE(f.LicenseMemo->Top(), f.LicenseLbl->Top() + f.LicenseLbl->Height()) << "the text moves below it";
            for (TButton* button : {f.BackBtn, f.NextBtn, f.CancelBtn}) EXPECT_GE(button->Height(), ch + 6);
            // The last button of the row may take the margin beside it.
            EXPECT_GE(f.CancelBtn->Width(), big.TextWidth(f.CancelBtn->EffectiveFont(), f.CancelBtn->Caption()) + 6);
            EXPECT_LE(f.CancelBtn->Left() + f.CancelBtn->Width(), f.CancelBtn->Parent()->Width());
            EXPECT_GE(f.InstallToAllChkBx->Top(), f.StartLbl->Top() + f.StartLbl->Height()) << "pushed below the text";
            EXPECT_GE(f.DesktopChkBx->Top(), f.InstallToAllChkBx->Top() + f.InstallToAllChkBx->Height());
            // Every control stays inside its parent, which stays inside the form.
            std::vector<const TControl*> all;
            Flatten(f, &all);
            for (const TControl* c : all) {
                if (c->Name == "PgCtrl" || c->Parent() == f.PgCtrl) continue;  // the hidden frame reaches beyond by design
                EXPECT_LE(c->Top() + c->Height(), c->Parent()->Height()) << c->Name;
            }
            EXPECT_EQ(f.Height(), f.Find<TPanel>("BottomPanel")->Top() + f.Find<TPanel>("BottomPanel")->Height())
                << "the buttons stay at the bottom of the grown form";

            SetBackend(nullptr);
            MeasureLabels(f);
            FitToText(f);
            EXPECT_TRUE(designed == Layout(f)) << "the usual size gives the designed layout back";
        }
        CloseNow();
    }};
    Run(u"", user);
}

}  // namespace
