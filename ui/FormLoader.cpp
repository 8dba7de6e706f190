#include "ui/FormLoader.h"

#include <vector>

#include "platform/platform.h"

namespace {

struct TRegisteredClass {
    std::string name;
    TControlFactory make;
};

// A dozen classes, looked up once per line of a description: a list does.
std::vector<TRegisteredClass>& Classes() {
    static std::vector<TRegisteredClass> classes;
    return classes;
}

TRegisteredClass* FindClass(const std::string& name) {
    for (TRegisteredClass& c : Classes())
        if (c.name == name) return &c;
    return nullptr;
}

struct Line {
    int indent = 0;
    std::string className, name;
    std::vector<std::pair<std::string, std::string>> properties;
};

// Splits one line into its words; quoted values keep their blanks.
bool ParseLine(const std::string& text, Line* line, std::string* why) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    line->indent = static_cast<int>(i);
    if (line->indent % 2 != 0) return *why = "indentation is not a multiple of two blanks", false;
    std::vector<std::string> words;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        std::string word;
        while (i < text.size() && text[i] != ' ') {
            if (text[i] == '"') {
                ++i;
                bool closed = false;
                while (i < text.size()) {
                    char c = text[i++];
                    if (c == '\\' && i < text.size()) {
                        word += text[i++];
                    } else if (c == '"') {
                        closed = true;
                        break;
                    } else {
                        word += c;
                    }
                }
                if (!closed) return *why = "a quoted value is not closed", false;
            } else {
                word += text[i++];
            }
        }
        words.push_back(word);
    }
    if (words.size() < 2) return *why = "a control needs a class and a name", false;
    line->className = words[0];
    line->name = words[1];
    for (size_t w = 2; w < words.size(); ++w) {
        size_t eq = words[w].find('=');
        if (eq == std::string::npos || eq == 0) return *why = "\"" + words[w] + "\" is no property", false;
        line->properties.emplace_back(words[w].substr(0, eq), words[w].substr(eq + 1));
    }
    return true;
}

bool ApplyProperty(TForm& form, TControl& control, const std::string& key,
                   const std::string& value) {
    if (key == "onclick" || key == "onchange") {
        auto handler = form.Handlers.find(value);
        if (handler == form.Handlers.end()) return false;
        if (auto* b = As<TButton>(&control); b && key == "onclick") return b->OnClick = handler->second, true;
        if (auto* c = As<TCheckBox>(&control); c && key == "onclick") return c->OnClick = handler->second, true;
        if (auto* e = As<TEdit>(&control); e && key == "onchange") return e->OnChange = handler->second, true;
        if (auto* l = As<TItemList>(&control); l && key == "onchange") return l->OnChange = handler->second, true;
        return false;
    }
    return control.SetProperty(key, value);
}

void CallLoaded(TControl& control) {
    control.Loaded();
    if (auto* container = As<TWinControl>(&control))
        for (auto& child : container->Children()) CallLoaded(*child);
}

}  // namespace

void RegisterControlClass(const std::string& className, TControlFactory factory) {
    if (TRegisteredClass* known = FindClass(className)) {
        known->make = factory;
        return;
    }
    Classes().push_back({className, factory});
}

void ResetControlClasses() { Classes().clear(); }

bool LoadFormDescription(TForm& form, const std::string& text, std::string* error) {
    std::string raw;
    int number = 0;
    size_t next = 0;
    bool first = true;
    // The containers of the lines above, by indentation level.
    std::vector<TWinControl*> levels;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    // Lines end with LF; a CR before it is dropped below.
    while (next < text.size()) {
        size_t end = text.find('\n', next);
        if (end == std::string::npos) end = text.size();
        raw.assign(text, next, end - next);
        next = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        size_t start = raw.find_first_not_of(' ');
        if (start == std::string::npos || raw[start] == '#') continue;
        Line line;
        std::string why;
        if (!ParseLine(raw, &line, &why)) return fail(why);
        TControl* control = nullptr;
        if (first) {
            if (line.indent != 0) return fail("the form's line must not be indented");
            form.Name = line.name;
            control = &form;
            first = false;
        } else {
            size_t level = static_cast<size_t>(line.indent / 2);
            if (level == 0 || level > levels.size()) return fail("indentation does not follow a container");
            TRegisteredClass* registered = FindClass(line.className);
            if (!registered) return fail("unknown class " + line.className);
            if (form.FindControl(line.name)) return fail("a second control named " + line.name);
            control = registered->make();
            control->Name = line.name;
            control->SetParent(levels[level - 1]);
        }
        for (auto& [key, value] : line.properties)
            if (!ApplyProperty(form, *control, key, value))
                return fail("property " + key + "=" + value + " does not fit " + line.name);
        size_t level = static_cast<size_t>(line.indent / 2);
        levels.resize(level);
        if (auto* container = As<TWinControl>(control)) levels.push_back(container);
    }
    if (first) return *error = "the description is empty", false;
    CallLoaded(form);
    return true;
}

bool LoadFormResource(TForm& form, const char* resourceName, std::string* error) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (!plat::LoadOwnResource("#10", resourceName, &data, &size)) {
        *error = std::string("no form description ") + resourceName;
        return false;
    }
    return LoadFormDescription(form, std::string(static_cast<const char*>(data), size), error);
}
