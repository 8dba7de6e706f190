// The Win32 window backend of the framework, and the marks it leaves on its windows for
// automation from another process (the Wine tests' driver).
#pragma once

// Makes real windows for every form shown from now on (call once, before the first form).
void InstallWin32Backend();

// Every control window carries this window property: a global atom (GlobalAddAtomW) of the
// control's Name, so that another process can find a control by name.
#define TESSARON_CONTROL_PROPERTY L"TessaronControl"

// A driver that posted input to the form's thread can post this registered message
// (RegisterWindowMessageW) to the form's window with a number in wParam: the form then sets its
// property TESSARON_PING_PROPERTY to that number. Posted messages are handled in order, so the
// number appears only once everything posted before it has been handled (or has reached a
// nested message loop, such as a message box).
#define TESSARON_PING_MESSAGE L"TessaronPing"
#define TESSARON_PING_PROPERTY L"TessaronPing"
