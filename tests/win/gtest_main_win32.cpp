// Entry of the Windows test programs: no error dialogs, so that a failing test under Wine ends
// with an exit code instead of waiting for somebody to answer a box.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
