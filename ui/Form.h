// A form: the top-level window of the framework, shown modally, with its timers.
#pragma once

#include <map>
#include <string>

#include "ui/Controls.h"

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm;

// A timer of a form; it ticks only while the form is shown and messages are processed.
class TTimer : public TObject {
public:
    TTimer(TForm* form, int id) : form_(form), id_(id) {}
    int Id() const { return id_; }
    int Interval = 1000;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TNotifyEvent OnTimer;
    // One tick (the backend's timer message, or a test).
    void Tick();
    TForm* Form() const { return form_; }

private:
    TForm* form_;
    int id_;
    bool enabled_ = false;
};

class TForm : public TWinControl {
    TSD_CLASS(TForm, TWinControl)

    // The handlers that the form description may name, registered before it is loaded.
    std::map<std::string, TNotifyEvent> Handlers;
    std::map<std::string, TCloseQueryEvent> CloseQueryHandlers;

    int ModalResult = mrNone;
    TCloseQueryEvent OnCloseQuery;
    TWinControl* ActiveControl = nullptr;
    std::vector<std::unique_ptr<TTimer>> Timers;

    // Shows the form modally; gives the modal result.
    int ShowModal();
    // Called once the form is on the screen with every control painted, before the user can act
    // on it: work that the first page does not need waits here, so the window appears first. A
    // backend that cannot show the form does not call it.
    TNotifyEvent OnShown;
    bool Shown() const { return shown_; }
    // The backend shows or hides the form; handle is its window while shown (0 otherwise).
    void SetShown(bool shown, plat::WindowHandle handle = 0);
    plat::WindowHandle Handle() const { return handle_; }
    // Asks to close (Cancel, Escape, the caption's close button): the modal loop then asks
    // OnCloseQuery.
    void Close();
    // Runs OnCloseQuery: may the form close?
    bool CloseQuery();
    // For modal loops: true when a modal result is set and the close query allows it; a refused
    // close clears the modal result.
    bool ModalEnded();

    TButton* DefaultButton();
    TButton* CancelButton();
    // The control of that name anywhere in the form, or none.
    TControl* FindControl(const std::string& name);
    template <class T>
    T* Find(const std::string& name) {
        return As<T>(FindControl(name));
    }
    TTimer* AddTimer(int id);

    // The layout as designed, and as last fitted to the texts (see FitToText).
    std::map<const TControl*, TRect> DesignedBounds, FittedBounds;

    bool SetProperty(const std::string& key, const std::string& value) override;

protected:
    // The form was shown or hidden (Handle() tells its window).
    virtual void ShownChanged() {}

private:
    bool shown_ = false;
    plat::WindowHandle handle_ = 0;
};
