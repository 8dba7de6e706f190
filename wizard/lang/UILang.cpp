#include "wizard/lang/UILang.h"

#include "base/Utf8.h"

void SelectInitialUILang() {
    const int32_t langId = static_cast<int32_t>(plat::GetUserDefaultLCID() & 0xFFFF);
    const int32_t primary = langId & 0x3FF;
    // The full id first, so that Chinese (Taiwan) is not taken by the primary Chinese row.
    for (int row = kUILangCount - 1; row >= 0; --row) {
        if (UILangs[row].LangId == langId) {
            CurrentUILang = static_cast<uint8_t>(row);
            return;
        }
    }
    for (int row = kUILangCount - 1; row >= 0; --row) {
        if (UILangs[row].LangId == primary) {
            CurrentUILang = static_cast<uint8_t>(row);
            return;
        }
    }
}

bool MatchSavedUILang(const std::string& ansiCode) {
    for (int row = kUILangCount - 1; row >= 0; --row) {
        if (ansiCode == UILangs[row].Code) {
            CurrentUILang = static_cast<uint8_t>(row);
            return true;
        }
    }
    return false;
}

bool MatchSavedUILang(const plat::Wide& code) {
    std::string ansi;
    ansi.reserve(code.size());
    for (char16_t unit : code) ansi += unit < 0x80 ? static_cast<char>(unit) : '?';
    return MatchSavedUILang(ansi);
}

std::string FormatText(const char* pattern, std::initializer_list<std::string> args) {
    std::string out;
    auto next = args.begin();
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next != args.end()) out += *next++;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// The version number is part of the texts; the second placeholder, right after it, stays empty.
std::string FormatWelcomeText() {
    return FormatText(UIText(WelcomeText), {UIText(ProductNameInText), std::string()});
}

std::string FormatFinishedText() {
    return FormatText(UIText(FinishedText), {UIText(ProductNameInText), std::string()});
}

plat::Wide DecodeUIText(const char* text) { return WideOfUtf8(text); }

plat::Wide DecodeUIText(const std::string& text) { return WideOfUtf8(text); }

void ResetUILangState() {
    CurrentUILang = 1;
    SetMessageBoxOwner(0);
}
