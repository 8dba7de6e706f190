// A fresh process on a clean fake machine: every unit's state as at program start, the start-up
// work the entry does before anything else (the folder lookup service resolved), and the
// program's own resources (form description, logo, bitmaps) as the setup program carries them.
#pragma once

#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "image/PNG.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "platform/fake/fake.h"
#include "ui/Backend.h"
#include "ui/FormLoader.h"
#include "wizard/MainDlg.h"
#include "wizard/lang/UILang.h"

// Folders of the clean fake machine that installations write to.
inline const plat::Wide kMain = u"C:\\Program Files\\Tessaron";
inline const plat::Wide kCommon = u"C:\\ProgramData\\Tessaron";
inline const plat::Wide kUserPrograms =
    u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline const plat::Wide kUserDesktop = u"C:\\Users\\User\\Desktop";
inline const plat::Wide kCommonPrograms = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
inline const plat::Wide kCommonDesktop = u"C:\\Users\\Public\\Desktop";
// The English shortcut's file name, with its leading backslash.
inline const plat::Wide kLinkName = u"\\Tessaron Word Processor.lnk";

inline std::string ReadSourceFile(const std::string& relative) {
    std::ifstream in(std::string(TSD_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The resources that the resource script puts into the program (the payload aside).
inline void PutProgramResources() {
    fake::SetResource("#10", "TMAINDLGFORM", ReadSourceFile("resources/MainDlg.form"));
    fake::SetResource("PNG", "LOGO", ReadSourceFile("resources/logo.png"));
    // A BITMAP resource is the .bmp file without its 14-byte file header.
    for (auto [name, file] : {std::pair{"OPENFOLDER", "openfolder.bmp"},
                              std::pair{"CLOSEDFOLDER", "closedfolder.bmp"},
                              std::pair{"FIXEDDRIVE", "fixeddrive.bmp"},
                              std::pair{"REMOVABLEDRIVE", "removabledrive.bmp"}})
        fake::SetResource("#2", name, ReadSourceFile(std::string("resources/") + file).substr(14));
}

// Every unit's state as at the start of a process (the machine stays as it is).
inline void ResetProcessState() {
    ResetRunFlags();
    ResetInstallLog();
    ResetAttachFilesState();
    ResetUILangState();
    ResetUIState();
    ResetMainDlgState();
    ResetControlClasses();
}

inline void StartFreshProcess() {
    fake::Reset();
    ResetProcessState();
    InitPNGUnit();
    PutProgramResources();
    plat::OleInitialize();
    plat::ResolveSHGetFolderPathW();
}

// A zlib stream at the strongest level, as the packer writes the payload.
inline std::string DeflateForTest(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

// The payload that the build packs into the real setup program (read once).
inline const std::string& RealPayload() {
    static const std::string payload = [] {
        std::ifstream in(TSD_PAYLOAD_FILE, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }();
    return payload;
}

// A clean machine whose setup program carries the real payload.
inline bool StartFreshProcessWithRealPayload() {
    StartFreshProcess();
    if (RealPayload().empty()) return false;
    fake::SetResource("FILES", "FILES", RealPayload());
    return true;
}
