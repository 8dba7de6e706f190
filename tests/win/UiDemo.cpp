// ui_demo.exe: a small form with every kind of control of the window framework, shown with the
// Win32 backend, for the Wine test of the backend itself (driven by wizard_driver.exe).
//
// Every handler writes what happened into StatusLbl, where the driver reads it. The exit code is
// the form's modal result (1 OK, 2 Cancel; 2 at once without a display), or 3 when a control
// still has a peer after the form closed, 4 when a control's name atom was left behind, 5 when
// the form description could not be loaded.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/Utf8.h"
#include "ui/Backend.h"
#include "ui/FormLoader.h"
#include "ui/Win32Backend.h"

namespace {

const char kDescription[] = R"(
TForm DemoForm clientwidth=420 clientheight=300 caption="Tessaron UI Demo" onclosequery=DemoCloseQuery
  TPanel TitlePanel width=420 height=40 align=top bevelinner=raised bevelouter=lowered color=#FFFFFF
    TLabel TitleLbl left=12 top=10 font=Arial,15,bold,#000080 caption="Demo title"
  TLabel StatusLbl left=12 top=48 width=396 height=16 autosize=false caption=ready
  TButton HelloBtn left=12 top=70 width=85 height=22 caption=&Hello onclick=HelloClick
  TCheckBox OptChk left=110 top=72 width=120 height=17 caption="&Refuse close" onclick=OptClick
  TEdit NameEdt left=240 top=70 width=168 height=21 onchange=NameChange
  TComboBox ColorBox left=12 top=100 width=150 height=21 style=dropdownlist onchange=ColorChange
  TDemoList ItemsLst left=12 top=130 width=150 height=100 onchange=ItemChange
  TPageControl Pages left=180 top=100 width=228 height=100
    TTabSheet PageOne
      TLabel PageOneLbl left=4 top=4 caption="Page &one"
      TButton PageBtn left=4 top=30 width=100 height=22 caption="&Turn page" onclick=TurnPage
    TTabSheet PageTwo
      TLabel PageTwoLbl left=4 top=4 caption="Page two"
      TMemo InfoMemo left=4 top=24 width=200 height=60 readonly=true scrollbars=vertical
  TImage Picture left=180 top=205 width=32 height=32
  TBevel Line left=12 top=240 width=396 height=2 shape=box style=lowered
  TLabel TickLbl left=12 top=250 caption="no ticks"
  TButton OkBtn left=240 top=270 width=80 height=22 caption=OK default=true onclick=OkClick
  TButton CancelBtn left=328 top=270 width=80 height=22 caption=Cancel cancel=true onclick=CancelClick
)";

// A 16 x 16 picture of 4 bits: a square of one colour on a background of another, which is the
// bottom-left pixel and so left out when drawn.
TBitmap ItemPicture() {
    TBitmap b;
    b.SetPixelFormat(pf4bit);
    b.SetSize(16, 16);
    b.SetPalette({{128, 128, 0, 0}, {200, 0, 0, 0}});
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) b.ScanLine(y)[x / 2] |= static_cast<uint8_t>(x % 2 ? 0x01 : 0x10);
    return b;
}

// An owner-drawn list: each line a picture and its text.
class TDemoList : public TListBox {
    TSD_CLASS(TDemoList, TListBox)
    TDemoList() {
        OwnerDraw = true;
        ItemHeight = 20;
    }
    void DrawItem(int index, const TRect& rect, TOwnerDrawState, TCanvas& canvas) override {
        canvas.FillRect(rect);
        canvas.DrawTransparent(rect.Left + 2, rect.Top + 2, picture_);
        int h = canvas.TextHeight(u"A");
        canvas.TextOut(rect.Left + 22, (rect.Top + rect.Bottom - h) / 2, Items()[static_cast<size_t>(index)]);
    }
    void WindowCreated() override { SetItemIndex(0); }

private:
    TBitmap picture_ = ItemPicture();
};

TBitmap Gradient() {
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    b.SetSize(32, 32);
    std::vector<TPaletteEntry> palette;
    for (int i = 0; i < 32; ++i)
        palette.push_back({static_cast<uint8_t>(i * 8), static_cast<uint8_t>(255 - i * 8), 128, 0});
    b.SetPalette(palette);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) b.ScanLine(y)[x] = static_cast<uint8_t>((x + y) / 2);
    return b;
}

template <class T>
T* Find(TForm& form, const char* name) {
    T* control = form.Find<T>(name);
    if (!control) {
        std::printf("no control %s\n", name);
        std::exit(1);
    }
    return control;
}

bool AnyPeer(TControl& control) {
    if (control.Peer) return true;
    if (auto* container = As<TWinControl>(&control))
        for (auto& child : container->Children())
            if (AnyPeer(*child)) return true;
    return false;
}

}  // namespace

int main() {
    InstallWin32Backend();
    RegisterControlClass("TPanel", NewControl<TPanel>);
    RegisterControlClass("TLabel", NewControl<TLabel>);
    RegisterControlClass("TButton", NewControl<TButton>);
    RegisterControlClass("TCheckBox", NewControl<TCheckBox>);
    RegisterControlClass("TEdit", NewControl<TEdit>);
    RegisterControlClass("TComboBox", NewControl<TComboBox>);
    RegisterControlClass("TDemoList", NewControl<TDemoList>);
    RegisterControlClass("TPageControl", NewControl<TPageControl>);
    RegisterControlClass("TTabSheet", NewControl<TTabSheet>);
    RegisterControlClass("TMemo", NewControl<TMemo>);
    RegisterControlClass("TImage", NewControl<TImage>);
    RegisterControlClass("TBevel", NewControl<TBevel>);
    Application.SetIcon(plat::LoadIconW(1));
    Application.SetTitle(u"Tessaron UI Demo");

    TForm form;
    TLabel* status = nullptr;
    int hellos = 0, ticks = 0;
    auto say = [&](const std::string& text) { status->SetCaption(WideOfUtf8(text)); };
    form.Handlers["HelloClick"] = [&](TObject*) { say("hello " + std::to_string(++hellos)); };
    form.Handlers["OptClick"] = [&](TObject* s) {
        say(std::string("refuse close ") + (static_cast<TCheckBox*>(s)->Checked() ? "on" : "off"));
    };
    form.Handlers["NameChange"] = [&](TObject* s) {
        std::u16string text = static_cast<TEdit*>(s)->Text();
        say("name=" + std::string(text.begin(), text.end()));
    };
    form.Handlers["ColorChange"] = [&](TObject* s) {
        auto* box = static_cast<TComboBox*>(s);
        std::u16string item = box->ItemIndex() >= 0 ? box->Items()[static_cast<size_t>(box->ItemIndex())] : u"";
        say("color=" + std::string(item.begin(), item.end()));
    };
    form.Handlers["ItemChange"] = [&](TObject* s) {
        say("item=" + std::to_string(static_cast<TListBox*>(s)->ItemIndex()));
    };
    form.Handlers["TurnPage"] = [&](TObject*) {
        auto* pages = Find<TPageControl>(form, "Pages");
        pages->SetActivePageIndex(1 - pages->ActivePageIndex());
        say("page " + std::to_string(pages->ActivePageIndex()));
    };
    form.Handlers["OkClick"] = [&](TObject*) { form.ModalResult = mrOk; };
    form.Handlers["CancelClick"] = [&](TObject*) { form.Close(); };
    form.CloseQueryHandlers["DemoCloseQuery"] = [&](TObject*, bool& canClose) {
        canClose = !Find<TCheckBox>(form, "OptChk")->Checked();
        if (!canClose) say("close refused");
    };

    std::string error;
    if (!LoadFormDescription(form, kDescription, &error)) {
        std::printf("form description: %s\n", error.c_str());
        return 5;
    }
    status = Find<TLabel>(form, "StatusLbl");
    auto* colors = Find<TComboBox>(form, "ColorBox");
    colors->AddItem(u"Red");
    colors->AddItem(u"Green");
    colors->AddItem(u"Blue");
    colors->SetItemIndex(0);
    auto* items = Find<TDemoList>(form, "ItemsLst");
    items->AddItem(u"alpha");
    items->AddItem(u"beta");
    items->AddItem(u"gamma");
    Find<TPageControl>(form, "Pages")->SetActivePageIndex(0);
    Find<TMemo>(form, "InfoMemo")->SetLines({u"first line", u"second line", u"third line"});
    Find<TImage>(form, "Picture")->SetPicture(Gradient());
    TTimer* timer = form.AddTimer(7);
    timer->Interval = 100;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        Find<TLabel>(form, "TickLbl")->SetCaption(WideOfUtf8(std::to_string(ticks) + " ticks"));
        if (ticks == 3) timer->SetEnabled(false);
    };
    timer->SetEnabled(true);
    Find<TEdit>(form, "NameEdt")->SetFocus();

    std::printf("text width of \"Hello\": %d, char height %d\n",
                Backend().TextWidth(TFont(), u"Hello"), Backend().CharHeight(TFont()));
    int result = form.ShowModal();
    std::printf("modal result %d\n", result);
    std::fflush(stdout);
    if (AnyPeer(form)) return 3;
    if (GlobalFindAtomW(L"HelloBtn")) return 4;
    return result;
}
