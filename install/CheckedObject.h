// One file or folder checked and acted on as one object. A path is only a name: between a check
// by path and an act by path, another user who can write a folder on the way can rename it and
// put a junction there, and the act lands elsewhere. So the object is opened itself (a link
// there is opened as the link, never followed), checked on that handle (attributes, link count,
// final path) and then changed or deleted through the same handle; the open shares reading and
// writing but not deletion, so that nobody can rename or replace it while it is held. Under Wine
// a link is opened as its target whatever the flags say: only the final path tells, and a link
// is never deleted.
#pragma once

#include <string>

#include "platform/Handles.h"
#include "platform/platform.h"

enum class TPathState {
    Missing,   // nothing there, or a folder on the way is missing
    NotAFile,  // a real folder stands where a file was listed
    Real,      // the file or folder itself, with no link from its root down to it
    Link,      // a link, or behind one
    Unknown,   // it could not be examined
};

struct TCheckedObject {
    plat::TFileHandle Handle;
    plat::OpenFileFacts Info;  // attributes, last-write time, size and number of names
    plat::Wide Final;  // its final path
};

// Opens the object at `path` itself and checks it on its handle: no reparse point; a folder where
// `folder` says so, else a file (a folder there: NotAFile; a file where a folder was expected:
// Missing, as nothing lies below it); and its final path is `parentFinal` (the final path of the
// folder holding it, already checked and held) with its own name. With an empty `parentFinal`
// (the first folder of a way, below a drive or a share) the attributes by path must show no link
// either. Real leaves the handle open in `*out`.
// The rights asked for: to delete the object through the handle, or only to hold it (reading
// its entries or bytes, which also stops others from renaming or deleting it), or only to look
// at it (its attributes, which whoever may list the folder above may read whatever the object's
// own list says).
enum class TCheckedFor { Deletion, Holding, Examining };
TPathState OpenChecked(const plat::Wide& path, const plat::Wide& parentFinal, bool folder,
                       TCheckedObject* out, TCheckedFor use = TCheckedFor::Deletion);

// Deletes the checked object through its handle (it goes when the handle is closed, which this
// does). A read-only file is made writable first, through the same handle, and only when it has
// one name: the attribute belongs to every name of a hard-linked file. False when it stays.
bool DeleteChecked(TCheckedObject& object);

// The whole content of a checked file (as ReadBytesOfFile reads it), only when it has one name: a
// hard link is another name of a file that may be anyone's, whatever its folder.
bool ReadChecked(const TCheckedObject& object, std::string* bytes);

// The whole content of the plain file at `path`, opened for reading only: not a link, reached as
// itself (its final path is its folder's and its name), with one name, all on the handle it is
// read through. False otherwise, or when it cannot be read.
bool ReadPlainFile(const plat::Wide& path, std::string* bytes);
