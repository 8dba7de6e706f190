/* The product's facts, in one place for the resource scripts (through windres) and the C++
   sources of the setup program and the application: the names, the version, the publisher, the
   files the installation leaves, the mark of the running application and the data folder. The
   #define lines are plain literals, which both read; the C++ part is hidden from windres. */
#ifndef TESSARON_PRODUCT_H
#define TESSARON_PRODUCT_H

#define TSD_PRODUCT_NAME "Tessaron Word Processor"
#define TSD_COMPANY_NAME "The Tessaron Word Processor Team"
#define TSD_COPYRIGHT "Copyright (c) 2009-2026 Tessaron Software. All rights reserved."
/* The release, as text and as the four numbers of a version resource: change both together. */
#define TSD_VERSION "4.4.3.8"
#define TSD_VERSION_NUMBERS 4,4,3,8
/* How the release's package manifests present the product: its package manager identifier, its
   licence and a one-line description. */
#define TSD_PACKAGE_IDENTIFIER "Tessaron.WordProcessor"
#define TSD_LICENSE "Proprietary"
#define TSD_SHORT_DESCRIPTION "A word processor with document templates and a clip library."
/* The application's program file, as the payload names it and as it is installed. */
#define TSD_PROGRAM_FILE "tsd.exe"

#if defined(__cplusplus) && !defined(RC_INVOKED)
#include "platform/platform.h"

constexpr char kProgramFile[] = TSD_PROGRAM_FILE;
constexpr char16_t kProgramFileW[] = u"" TSD_PROGRAM_FILE;
constexpr char kLicenseFile[] = "License.txt";
constexpr char16_t kLicenseFileW[] = u"License.txt";
// Beside the installed program; a portable copy keeps its install log in memory only.
constexpr char16_t kInstallLogName[] = u"Install.log";
// In the data folder for all users.
constexpr char16_t kUpdateLogName[] = u"Update.log";
// The empty file that marks a folder as holding a portable copy.
constexpr char16_t kPortableMarkName[] = u"Tessaron.ini";
// The window property, with a value other than 0, on the running application's main window.
constexpr char16_t kRunningMark[] = u"1.x Coral Wing";
// The folder named for the product: the default destination under the program files folder and
// the product's data folder for all users.
constexpr char16_t kProductFolderName[] = u"Tessaron";
// Inside the data folder for all users: the installation's stamp in its hidden folder, the
// templates and clip library in its public one, and the application's common data file.
constexpr char16_t kHiddenFolderName[] = u"Hidden\\";
constexpr char16_t kPublicFolderName[] = u"Public\\";
constexpr char16_t kInstallStampName[] = u"install_stamp";
constexpr char16_t kCommonDataName[] = u"tsd_common.dat";
// The application's commands: start in a language ("-uilp de"), remove the installation.
constexpr char16_t kLanguageSwitch[] = u"-uilp";
constexpr char16_t kUninstallSwitch[] = u"-ui";
// Added to the removal command for a removal that asks no questions.
constexpr char16_t kQuietSwitch[] = u"/S";
// Where the data folder for all users goes when the system names no all-users application data
// folder: under the user's documents folder.
constexpr int kDataFolderFallback = plat::kCsidlPersonal;
#endif

#endif
