// The names a screen reader reads for the destination page's controls, which have no label on
// the page, and for the "?" button, whose caption says nothing by itself.
#include "wizard/lang/UILang.h"

TUIText DestinationFolderName = {
    "Zielordner",
    "Destination folder",
    "Carpeta de destino",
    "Dossier d'installation",
    "目标文件夹",
    "目標文件夾",
};

TUIText FolderListName = {
    "Ordner",
    "Folders",
    "Carpetas",
    "Dossiers",
    "文件夹",
    "文件夾",
};

TUIText DriveListName = {
    "Laufwerk",
    "Drive",
    "Unidad",
    "Lecteur",
    "驱动器",
    "驅動器",
};

TUIText PortableHelpName = {
    "Hilfe zur portablen Version",
    "Help on portable copies",
    "Ayuda sobre la instalación portátil",
    "Aide sur la copie portable",
    "便携式安装帮助",
    "便攜式安裝幫助",
};
