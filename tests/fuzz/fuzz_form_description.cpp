// The form description loader over arbitrary text: it builds the form or refuses with a reason,
// and the form is released cleanly either way.
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"
#include "ui/FormLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = (fake::Reset(), RegisterFormControlClasses(), true);
    (void)started;
    std::string text(reinterpret_cast<const char*>(data), size);
    TForm form;
    form.Handlers["BNClick"] = [](TObject*) {};
    form.CloseQueryHandlers["FormCloseQuery"] = [](TObject*, bool&) {};
    std::string error;
    bool loaded = LoadFormDescription(form, text, &error);
    FUZZ_REQUIRE(loaded || !error.empty());
    return 0;
}
