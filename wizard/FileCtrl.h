// The destination page's folder list and drive selector.
//
// The folder list shows the path from the drive root down to the current folder, one line per
// level, then the current folder's sub-folders in sorted order; selecting a line opens that
// folder. The drive selector lists the drives c: to z: (optical drives left out) with their
// labels or network names; choosing one moves the linked folder list to it.
#pragma once

#include <cstdint>
#include <vector>

#include "image/Bitmap.h"
#include "ui/Controls.h"

class TDriveComboBox;

// Adds a sub-folder name to names kept in the list's order: their UTF-8 forms compared by the
// user's locale without regard to case, in string-sort order; a name equal to one already there
// goes in front of it.
void InsertFolderName(std::vector<Wide>& names, const Wide& name);

class TDirectoryListBox : public TListBox {
    TSD_CLASS(TDirectoryListBox, TListBox)
    TDirectoryListBox();
    ~TDirectoryListBox() override;

    // The current folder. Starts as one NUL character, which matches no drive.
    const Wide& Folder() const { return folder_; }
    // Makes the path, or its nearest existing parent, the current folder.
    void OpenFolder(const Wide& path);
    // Moves to the product or program files folder, the same path, or the root of that drive.
    void MoveToDrive(char16_t letter);
    // Rebuilds the lines. Each line's item text is the full path of its folder; its item data
    // points to the bitmap it is drawn with.
    virtual void FillFolders();
    // Calls OnChange.
    virtual void NotifyChange();

    bool Changing = false;       // set while OpenFolder moves the linked selector
    bool CasePreserving = false;
    bool CaseSensitive = false;
    TDriveComboBox* DriveCombo = nullptr;  // the linked selector

    void DrawItem(int index, const TRect& rect, TOwnerDrawState state, TCanvas& canvas) override;
    void WindowCreated() override;
    void Loaded() override;
    // The indent and the text that a line is drawn with.
    int LineIndent(int index) const;
    Wide LineText(int index) const;
    bool IsSubFolderLine(int index) const;

protected:
    void Selected() override;

private:
    Wide folder_;
    TBitmap openFolder_, closedFolder_;
};

class TDriveComboBox : public TComboBox {
    TSD_CLASS(TDriveComboBox, TComboBox)
    TDriveComboBox();
    ~TDriveComboBox() override;

    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* list);
    char16_t DriveLetter() const { return driveLetter_; }
    uint32_t DriveMask() const { return driveMask_; }

    // Rebuilds the items from the drives there are now.
    void FillDrives();
    // Makes the drive current, selects its item, moves the linked list.
    void ChooseDrive(char16_t letter);
    // Whether an item shows the removable-drive picture.
    bool IsRemovableItem(int index) const;

    void DrawItem(int index, const TRect& rect, TOwnerDrawState state, TCanvas& canvas) override;
    void WindowCreated() override;
    bool SetProperty(const std::string& key, const std::string& value) override;
    void Loaded() override;

protected:
    void Selected() override;

private:
    TDirectoryListBox* dirList_ = nullptr;
    std::string dirListName_;  // from the form description, linked once the form is loaded
    char16_t driveLetter_ = 0;
    uint32_t driveMask_ = 0;
    TBitmap fixedDrive_, removableDrive_;
};
