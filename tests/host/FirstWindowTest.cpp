// The wizard's first page appears before the payload is read, and the payload is read before the
// user can act on the page; a damaged payload still ends the run with its message and exit code
// 3, with nothing done.
#include <gtest/gtest.h>

#include "app/Entry.h"
#include "install/RunFlags.h"
#include "tests/host/TestMachine.h"

namespace {

// The headless backend, noting what the run had done when the form went on the screen.
class TWatchingBackend : public TBackend {
public:
    void Wrap(TBackend& inner) { inner_ = &inner; }
    int RunModal(TForm& form) override {
        ++Shows;
        PayloadReadWhenShown = AttachedFiles != nullptr;
        ComWhenShown = fake::OleInitialized();
        IconWhenShown = Application.Icon != 0;
        PageWhenShown = MainDlgForm ? MainDlgForm->CurrentPage() : kNoPage;
        return inner_->RunModal(form);
    }
    int TextWidth(const TFont& font, const Wide& text) override { return inner_->TextWidth(font, text); }
    int CharHeight(const TFont& font) override { return inner_->CharHeight(font); }
    void SetBusyCursor(bool busy) override { inner_->SetBusyCursor(busy); }
    void ApplicationChanged() override { inner_->ApplicationChanged(); }
    void TimerChanged(TTimer& timer) override { inner_->TimerChanged(timer); }

    int Shows = 0;
    bool PayloadReadWhenShown = true;
    bool ComWhenShown = true;
    bool IconWhenShown = false;
    uint8_t PageWhenShown = kNoPage;

private:
    TBackend* inner_ = nullptr;
};

class FirstWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
        watching_.Wrap(Backend());
        SetBackend(&watching_);
        // The program starts COM itself (the test machine's process had it started).
        plat::OleUninitialize();
        fake::SetResource("#14", "#1", "the application's icon");
    }
    void TearDown() override { SetBackend(nullptr); }
    // The user presses Next (and Finish) until the wizard closes; the first press notes whether
    // the payload had been read by then.
    int Interactive() {
        fake::SetCommandLine(u"setup.exe");
        SetHeadlessModalSteps({[this](TForm& form) {
            payloadReadWhenActing_ = AttachedFiles != nullptr && AttachedFiles->Loaded();
            for (int i = 0; i < 12 && form.ModalResult == mrNone; ++i)
                if (MainDlgForm->NextBtn->Enabled()) MainDlgForm->NextBtn->Click();
        }});
        return SetupMain();
    }
    TWatchingBackend watching_;
    bool payloadReadWhenActing_ = false;
};

TEST_F(FirstWindow, TheWelcomePageIsShownBeforeThePayloadIsReadAndTheUserActsAfter) {
    ASSERT_EQ(0, Interactive());
    EXPECT_EQ(1, watching_.Shows);
    EXPECT_FALSE(watching_.PayloadReadWhenShown);
    EXPECT_EQ(kWelcomePage, watching_.PageWhenShown);
    EXPECT_TRUE(watching_.IconWhenShown) << "the window carries the application's icon";
    EXPECT_TRUE(payloadReadWhenActing_);
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe")) << "the installation went on as ever";
}

TEST_F(FirstWindow, COMStartsAfterTheWelcomePageIsShownAndInTimeForTheShortcuts) {
    ASSERT_EQ(0, Interactive());
    EXPECT_FALSE(watching_.ComWhenShown);
    EXPECT_TRUE(fake::LinkAt(kCommonPrograms + kLinkName, nullptr)) << "the shortcut was saved";
    EXPECT_FALSE(fake::OleInitialized()) << "and COM ended with the run";
}

TEST_F(FirstWindow, ASilentRunStartsCOMForItsShortcuts) {
    fake::SetCommandLine(u"setup.exe -S");
    ASSERT_EQ(0, SetupMain());
    EXPECT_TRUE(fake::LinkAt(kCommonPrograms + kLinkName, nullptr));
    EXPECT_FALSE(fake::OleInitialized());
    EXPECT_EQ(0u, Application.Icon) << "no window, so no icon is loaded";
}

TEST_F(FirstWindow, ADamagedPayloadClosesTheShownWizardWithItsMessageAndNothingDone) {
    std::string damaged = RealPayload();
    damaged[damaged.size() / 2] ^= 0x55;
    fake::SetResource("FILES", "FILES", damaged);
    const std::vector<plat::Wide> machine = fake::ListTree(u"C:\\");
    EXPECT_EQ(kExitDamaged, Interactive());
    EXPECT_EQ(1, watching_.Shows);
    EXPECT_FALSE(payloadReadWhenActing_) << "the user never acted on the page";
    // The damage message alone: no question whether to quit.
    ASSERT_EQ(1u, fake::ShownBoxes().size());
    EXPECT_NE(plat::Wide::npos, fake::ShownBoxes()[0].text.find(u"damaged"));
    for (int k = 0; k < fake::kOperationKinds; ++k)
        EXPECT_EQ(0, fake::OperationCount(static_cast<fake::Operation>(k)))
            << fake::OperationName(static_cast<fake::Operation>(k));
    EXPECT_EQ(machine, fake::ListTree(u"C:\\"));
    EXPECT_EQ(nullptr, MainDlgForm);
}

}  // namespace
