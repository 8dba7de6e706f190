#include "wizard/lang/UILang.h"

namespace {

plat::WindowHandle messageBoxOwner = 0;

uint32_t IconFlags(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Warning: return plat::kMbIconWarning;
        case TMsgKind::Error: return plat::kMbIconError;
        case TMsgKind::Information: return plat::kMbIconInformation;
        case TMsgKind::Question: return plat::kMbIconQuestion;
    }
    return 0;
}

uint32_t ButtonFlags(TMsgButtons buttons) {
    using B = TMsgButton;
    if (buttons == TMsgButtons{B::Yes, B::No}) return plat::kMbYesNo;
    if (buttons == TMsgButtons{B::Yes, B::No, B::Cancel}) return plat::kMbYesNoCancel;
    if (buttons == TMsgButtons{B::OK, B::Cancel}) return plat::kMbOkCancel;
    if (buttons == TMsgButtons{B::Retry, B::Cancel}) return plat::kMbRetryCancel;
    if (buttons == TMsgButtons{B::Abort, B::Retry, B::Ignore}) return plat::kMbAbortRetryIgnore;
    return plat::kMbOk;
}

// 0 (the box could not be shown) and anything unexpected count as OK.
TMsgButton ButtonOfResult(int result) {
    switch (result) {
        case plat::kIdCancel: return TMsgButton::Cancel;
        case plat::kIdAbort: return TMsgButton::Abort;
        case plat::kIdRetry: return TMsgButton::Retry;
        case plat::kIdIgnore: return TMsgButton::Ignore;
        case plat::kIdYes: return TMsgButton::Yes;
        case plat::kIdNo: return TMsgButton::No;
        default: return TMsgButton::OK;
    }
}

}  // namespace

void SetMessageBoxOwner(plat::WindowHandle owner) { messageBoxOwner = owner; }

TMsgButton ShowMessageBox(const std::string& message, TMsgKind kind, TMsgButtons buttons) {
    const plat::Wide text = DecodeUIText(message);
    const plat::Wide caption = DecodeUIText(UIText(SetupTitle));
    const uint32_t flags = plat::kMbTaskModal | IconFlags(kind) | ButtonFlags(buttons);
    return ButtonOfResult(plat::MessageBoxW(messageBoxOwner, text, caption, flags));
}
