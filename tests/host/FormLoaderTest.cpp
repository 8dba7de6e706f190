// The form loader: building controls from a form description, and refusing what it cannot follow.
#include <gtest/gtest.h>

#include "tests/host/TestMachine.h"
#include "ui/Backend.h"
#include "ui/FormLoader.h"

#include <new>
#include <typeinfo>

namespace {

class FormLoader : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        RegisterFormControlClasses();
        form.Handlers["Clicked"] = [this](TObject* s) { clickedBy = s; };
        form.CloseQueryHandlers["Ask"] = [](TObject*, bool& c) { c = false; };
    }
    bool Load(const std::string& text) { return LoadFormDescription(form, text, &error); }
    TForm form;
    std::string error;
    TObject* clickedBy = nullptr;
};

TEST_F(FormLoader, BuildsTheTreeWithPropertiesAndHandlers) {
    ASSERT_TRUE(Load("# a comment\n"
                     "TForm Main clientwidth=300 clientheight=200 onclosequery=Ask\n"
                     "  TPanel Top width=300 height=40 align=top color=#FFFFFF bevelouter=lowered\r\n"
                     "    TLabel Title left=5 top=6 font=Arial,15,bold,#000080\n"
                     "\n"
                     "  TButton Go left=10 top=100 width=80 height=22 caption=\"  ?  \" default=true onclick=Clicked\n"
                     "  TCheckBox Box left=10 top=130 checked=true caption=\"Say \\\"hi\\\" \\\\ there\"\n"))
        << error;
    EXPECT_EQ("Main", form.Name);
    EXPECT_EQ(300, form.Width());
    auto* top = form.Find<TPanel>("Top");
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(0x00FFFFFFu, top->Color);
    EXPECT_EQ(TBevelCut::Lowered, top->BevelOuter);
    auto* title = form.Find<TLabel>("Title");
    ASSERT_NE(nullptr, title);
    EXPECT_EQ(top, title->Parent());
    EXPECT_FALSE(title->ParentFont);
    EXPECT_EQ(u"Arial", title->Font.Name);
    EXPECT_EQ(15, title->Font.Height);
    EXPECT_TRUE(title->Font.Bold);
    EXPECT_EQ(0x00800000u, title->Font.Color) << "#000080 is navy";
    auto* go = form.Find<TButton>("Go");
    ASSERT_NE(nullptr, go);
    EXPECT_EQ(u"  ?  ", go->Caption());
    EXPECT_EQ(go, form.DefaultButton());
    go->Click();
    EXPECT_EQ(go, clickedBy);
    EXPECT_EQ(u"Say \"hi\" \\ there", form.Find<TCheckBox>("Box")->Caption());
    EXPECT_TRUE(form.Find<TCheckBox>("Box")->Checked());
    EXPECT_FALSE(form.CloseQuery());
}

TEST_F(FormLoader, RefusesWhatItCannotFollow) {
    struct Case {
        std::string text, says;
    } cases[] = {
        {"", "empty"},
        {"TForm F\n  TNoSuch X\n", "unknown class TNoSuch"},
        {"TForm F\n  TButton B onclick=Missing\n", "onclick=Missing"},
        {"TForm F\n  TButton B width=wide\n", "width=wide"},
        {"TForm F\n  TButton B colour=#FFFFFF\n", "colour"},
        {"TForm F\n  TButton B\n  TButton B\n", "second control named B"},
        {"TForm F\n   TButton B\n", "multiple of two"},
        {"TForm F\n    TButton B\n", "indentation"},
        {"TForm F\n  TLabel L\n    TButton B\n", "indentation"},
        {"TForm F\n  TButton B caption=\"open\n", "not closed"},
        {"TForm F\n  TButton\n", "class and a name"},
        {"  TForm F\n", "not be indented"},
        {"TForm F\n  TButton B =x\n", "no property"},
    };
    for (const auto& c : cases) {
        TForm fresh;
        std::string why;
        EXPECT_FALSE(LoadFormDescription(fresh, c.text, &why)) << c.text;
        EXPECT_NE(std::string::npos, why.find(c.says)) << c.text << " said: " << why;
        if (!c.text.empty()) EXPECT_EQ(0u, why.find("line ")) << why;
    }
}

// What the loaded wizard shows, whatever its numbers: the alignments took effect, the logo is
// shown whole, the buttons answer Enter and Escape, and the drive selector drives the list.
TEST_F(FormLoader, TheWizardsDescriptionHoldsItsLayout) {
    TMainDlgForm wizard;
    ASSERT_TRUE(wizard.Built()) << wizard.LoadError();
    auto control = [&](const char* name) {
        TControl* c = wizard.FindControl(name);
        EXPECT_NE(nullptr, c) << name;
        return c;
    };
    TControl* pages = control("PgCtrl");
    TControl* page = control("DestDirTabSheet");
    TControl* top = control("TopPanel");
    TControl* bevel = control("LeftBevel");
    ASSERT_TRUE(pages && page && top && bevel && bevel->Parent());
    EXPECT_EQ((std::vector<int>{0, 0, pages->Width(), pages->Height()}),
              (std::vector<int>{page->Left(), page->Top(), page->Width(), page->Height()}))
        << "a page fills its container";
    EXPECT_EQ((std::vector<int>{0, 0, wizard.Width()}), (std::vector<int>{top->Left(), top->Top(), top->Width()}))
        << "aligned to the top, across the form";
    EXPECT_EQ(bevel->Parent()->Width(), bevel->Left() + bevel->Width()) << "aligned right";
    EXPECT_EQ(bevel->Parent()->Height(), bevel->Height());
    EXPECT_EQ(wizard.LogoImage->Width(), wizard.LogoImage->Picture().Width());
    EXPECT_EQ(wizard.LogoImage->Height(), wizard.LogoImage->Picture().Height());
    EXPECT_EQ(wizard.NextBtn, wizard.DefaultButton());
    EXPECT_EQ(wizard.CancelBtn, wizard.CancelButton());
    EXPECT_EQ(wizard.DestDirLstBx, wizard.DestDirCmbBx->DirList());
}

TEST(FormModal, CloseQueryDecidesAndARefusalClearsTheResult) {
    ResetUIState();
    TForm form;
    bool allow = false;
    int asked = 0;
    form.OnCloseQuery = [&](TObject*, bool& c) {
        ++asked;
        c = allow;
    };
    EXPECT_FALSE(form.ModalEnded()) << "no result, no question";
    EXPECT_EQ(0, asked);
    form.Close();
    EXPECT_FALSE(form.ModalEnded());
    EXPECT_EQ(mrNone, form.ModalResult);
    allow = true;
    form.ModalResult = mrOk;
    EXPECT_TRUE(form.ModalEnded());
    EXPECT_EQ(2, asked);
}

TEST(FormModal, WithoutAWindowAFormCannotBeShownAndCancels) {
    ResetUIState();
    TForm form;
    EXPECT_EQ(mrCancel, form.ShowModal());
}

TEST(FormModal, TimersTickOnlyWhenEnabled) {
    ResetUIState();
    TForm form;
    TTimer* timer = form.AddTimer(1);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    timer->Tick();
    timer->SetEnabled(true);
    timer->Tick();
    timer->Tick();
    timer->SetEnabled(false);
    timer->Tick();
    EXPECT_EQ(2, ticks);
}

TEST(Controls, TheWindowHearsOnlyOfRealChanges) {
    struct Recorder : TControlPeer {
        std::vector<TChange> seen;
        void Changed(TChange what) override { seen.push_back(what); }
        void Focus() override {}
    } peer;
    TButton button;
    button.Peer = &peer;
    button.SetCaption(u"&Next >");
    button.SetCaption(u"&Next >");
    button.SetEnabled(true);
    button.SetBounds(0, 0, 0, 0);
    button.SetVisible(false);
    EXPECT_EQ((std::vector<TChange>{TChange::Text, TChange::Visible}), peer.seen);
}

TEST(Controls, PagesShowOnlyTheActiveOne) {
    TPageControl pages;
    auto* first = new TTabSheet;
    auto* second = new TTabSheet;
    first->SetParent(&pages);
    second->SetParent(&pages);
    EXPECT_EQ(-1, pages.ActivePageIndex());
    EXPECT_FALSE(first->Visible() || second->Visible());
    pages.SetActivePageIndex(1);
    EXPECT_TRUE(second->Showing());
    EXPECT_FALSE(first->Visible());
    pages.SetActivePageIndex(0);
    EXPECT_TRUE(first->Visible());
    EXPECT_FALSE(second->Visible());
    EXPECT_EQ(1, second->PageIndex());
}

}  // namespace

TEST_F(FormLoader, CountsLinesOfAnyEndingAndALastLineWithoutOne) {
    struct Case {
        std::string text, says;
    } cases[] = {
        {"TForm F\r\n\r\n  TNoSuch X", "line 3: unknown class TNoSuch"},
        {"TForm F\n# note\n\n  TButton B\n  TNoSuch Y\n", "line 5: unknown class TNoSuch"},
        {"TForm F\r\n  TButton B\r\n  TButton B\r\n", "line 3: a second control named B"},
    };
    for (const auto& c : cases) {
        TForm fresh;
        std::string why;
        EXPECT_FALSE(LoadFormDescription(fresh, c.text, &why)) << c.text;
        EXPECT_EQ(c.says, why) << c.text;
    }
    TForm form;
    std::string why;
    ASSERT_TRUE(LoadFormDescription(form, "TForm F\r\n  TButton B", &why)) << why;
    EXPECT_NE(nullptr, form.FindControl("B"));
}

