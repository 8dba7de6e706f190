// Builds a form's controls from its form description.
//
// The description is text, one control per line; a line's children follow it, indented by two
// more blanks. Each line is the control's class, its name and its properties:
//
//   TMainDlgForm MainDlgForm clientwidth=492 clientheight=351 onclosequery=FormCloseQuery
//     TPageControl PgCtrl left=120 top=41 width=375 height=268
//       TButton NextBtn caption="&Next >" default=true onclick=BNClick
//
// A value is a word without blanks or a text in double quotes (\" and \\ inside). The first
// line is the form itself. Lines starting with "#" and empty lines are skipped. Handler
// properties (on...) name entries of the form's Handlers. Classes must be registered.
#pragma once

#include <string>

#include "ui/Form.h"

// Makes a new control of one class (a plain function: a class needs no state to be made).
using TControlFactory = TControl* (*)();

template <class T>
TControl* NewControl() {
    return new T;
}

// A second registration of a name replaces the first.
void RegisterControlClass(const std::string& className, TControlFactory factory);
// Forgets every registered class (for tests).
void ResetControlClasses();

// Builds the form's controls. False, with the line and the reason in *error, for a description
// it cannot follow; the form then holds what was built before that line.
bool LoadFormDescription(TForm& form, const std::string& text, std::string* error);
// The same from the program's resource of type RCDATA with that name.
bool LoadFormResource(TForm& form, const char* resourceName, std::string* error);
