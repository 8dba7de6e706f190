// The messages of "-ui", in the rows of the language table: German, English, Spanish, French,
// Simplified Chinese, Traditional Chinese. "\r" breaks a line.
#include "standin/Uninstall.h"

TUninstallText UninstallConfirm = {
    "Möchten Sie das Tessaron-Textverarbeitungsprogramm und alle seine Komponenten von diesem "
        "Computer entfernen?\r\rIhre eigenen Dokumente bleiben erhalten.",
    "Do you want to remove Tessaron Word Processor and all of its components from this "
        "computer?\r\rYour own documents are kept.",
    "¿Desea quitar el procesador de textos Tessaron y todos sus componentes de este equipo?"
        "\r\rSus propios documentos se conservan.",
    "Voulez-vous supprimer le traitement de texte Tessaron et tous ses composants de cet "
        "ordinateur ?\r\rVos propres documents sont conservés.",
    "是否要从此计算机中删除泰萨隆文字处理器及其所有组件？\r\r您自己的文档将被保留。",
    "是否要從這台電腦移除泰薩隆文字處理器及其所有元件？\r\r您自己的文件將會保留。",
};

TUninstallText UninstallDone = {
    "Das Tessaron-Textverarbeitungsprogramm wurde von Ihrem Computer entfernt.",
    "Tessaron Word Processor was removed from your computer.",
    "El procesador de textos Tessaron se ha quitado de su equipo.",
    "Le traitement de texte Tessaron a été supprimé de votre ordinateur.",
    "泰萨隆文字处理器已从您的计算机中删除。",
    "泰薩隆文字處理器已從您的電腦移除。",
};

TUninstallText UninstallPartly = {
    "Das Tessaron-Textverarbeitungsprogramm wurde nur teilweise entfernt. Folgendes konnte "
        "nicht gelöscht werden:\r\r%s\r\rSchließen Sie alle Programme, die es verwenden, und "
        "löschen Sie es dann selbst.",
    "Tessaron Word Processor was only partly removed. The following could not be deleted:"
        "\r\r%s\r\rClose any program that uses it, then delete it yourself.",
    "El procesador de textos Tessaron solo se ha quitado en parte. No se pudo eliminar lo "
        "siguiente:\r\r%s\r\rCierre los programas que lo usen y elimínelo usted mismo.",
    "Le traitement de texte Tessaron n'a été supprimé qu'en partie. Les éléments suivants "
        "n'ont pas pu être effacés :\r\r%s\r\rFermez les programmes qui les utilisent, puis "
        "effacez-les vous-même.",
    "泰萨隆文字处理器只被部分删除。以下项目无法删除：\r\r%s\r\r请关闭正在使用它们的程序，"
        "然后自行删除。",
    "泰薩隆文字處理器只被部分移除。下列項目無法刪除：\r\r%s\r\r請關閉正在使用它們的程式，"
        "然後自行刪除。",
};

TUninstallText UninstallRunning = {
    "Das Tessaron-Textverarbeitungsprogramm wird gerade ausgeführt. Bitte schließen Sie alle "
        "laufenden Instanzen und starten Sie die Deinstallation dann erneut.",
    "Tessaron Word Processor is running. Please close any running instance(s) of Tessaron "
        "Word Processor, then start the removal again.",
    "El procesador de textos Tessaron se está ejecutando. Cierre todas las instancias en "
        "ejecución y vuelva a iniciar la desinstalación.",
    "Le traitement de texte Tessaron est en cours d'exécution. Fermez tous ses exemplaires "
        "ouverts, puis relancez la désinstallation.",
    "泰萨隆文字处理器正在运行。请关闭所有正在运行的实例，然后重新开始卸载。",
    "泰薩隆文字處理器正在執行。請關閉所有正在執行的執行個體，然後重新開始解除安裝。",
};

TUninstallText UninstallPortable = {
    "Dies ist eine portable Kopie des Tessaron-Textverarbeitungsprogramms. Sie ist nicht "
        "installiert: Um sie zu entfernen, löschen Sie ihren Ordner.\r\rEs wurde nichts "
        "entfernt.",
    "This is a portable copy of Tessaron Word Processor. It is not installed: to remove it, "
        "delete its folder.\r\rNothing was removed.",
    "Esta es una copia portátil del procesador de textos Tessaron. No está instalada: para "
        "quitarla, elimine su carpeta.\r\rNo se ha quitado nada.",
    "Ceci est une copie portable du traitement de texte Tessaron. Elle n'est pas installée : "
        "pour la supprimer, effacez son dossier.\r\rRien n'a été supprimé.",
    "这是泰萨隆文字处理器的便携版，它没有被安装：要删除它，请删除它所在的文件夹。"
        "\r\r没有删除任何内容。",
    "這是泰薩隆文字處理器的可攜式版本，它並未安裝：若要移除它，請刪除它所在的資料夾。"
        "\r\r沒有移除任何內容。",
};

TUninstallText UninstallLogDamaged = {
    "Das Installationsprotokoll „Install.log“ ist beschädigt. Ohne es lassen sich die "
        "installierten Dateien nicht von Ihren eigenen unterscheiden, daher wurde nichts "
        "entfernt.",
    "The installation log \"Install.log\" is damaged. Without it the installed files cannot "
        "be told apart from your own, so nothing was removed.",
    "El registro de instalación «Install.log» está dañado. Sin él no se pueden distinguir los "
        "archivos instalados de los suyos, por lo que no se ha quitado nada.",
    "Le journal d'installation « Install.log » est endommagé. Sans lui, les fichiers installés "
        "ne peuvent pas être distingués des vôtres : rien n'a donc été supprimé.",
    "安装日志“Install.log”已损坏。没有它就无法区分安装的文件和您自己的文件，因此没有删除任何"
        "内容。",
    "安裝記錄「Install.log」已損毀。沒有它就無法區分安裝的檔案和您自己的檔案，因此沒有移除任何"
        "內容。",
};

TUninstallText UninstallNotAll = {
    "Das Tessaron-Textverarbeitungsprogramm wurde nur teilweise entfernt.",
    "Tessaron Word Processor was only partly removed.",
    "El procesador de textos Tessaron solo se ha quitado en parte.",
    "Le traitement de texte Tessaron n'a été supprimé qu'en partie.",
    "泰萨隆文字处理器只被部分删除。",
    "泰薩隆文字處理器只被部分移除。",
};

TUninstallText UninstallLinksLeft = {
    "Folgende Einträge sind Links (Abzweigungen oder symbolische Verknüpfungen) oder liegen "
        "hinter einem Link; sie blieben unverändert, damit an ihrem Ziel nichts gelöscht wird:"
        "\r\r%s\r\rPrüfen Sie, wohin sie zeigen, und löschen Sie sie dann selbst.",
    "The following are links (junctions or symbolic links) or lie behind one, and were left as "
        "they are, so that nothing is deleted where they point:\r\r%s\r\rCheck where they "
        "point, then delete them yourself.",
    "Los siguientes elementos son vínculos (uniones o vínculos simbólicos) o están detrás de "
        "uno, y se han dejado como estaban para no eliminar nada allí adonde apuntan:\r\r%s\r\r"
        "Compruebe adónde apuntan y elimínelos usted mismo.",
    "Les éléments suivants sont des liens (jonctions ou liens symboliques) ou se trouvent "
        "derrière l'un d'eux ; ils ont été laissés tels quels, afin que rien ne soit effacé là "
        "où ils pointent :\r\r%s\r\rVérifiez où ils pointent, puis effacez-les vous-même.",
    "以下项目是链接（目录联接或符号链接）或位于链接之后，已保持原样，以免删除链接所指向位置的"
        "任何内容：\r\r%s\r\r请检查它们指向何处，然后自行删除。",
    "下列項目是連結（目錄連接或符號連結）或位於連結之後，已保持原狀，以免刪除連結所指向位置的"
        "任何內容：\r\r%s\r\r請檢查它們指向何處，然後自行刪除。",
};

TUninstallText UninstallChangedKept = {
    "Diese gemeinsam genutzten Dateien wurden nach der Installation geändert und daher "
        "behalten:\r\r%s",
    "These shared files were changed after the installation and so were kept:\r\r%s",
    "Estos archivos compartidos se modificaron después de la instalación y por eso se han "
        "conservado:\r\r%s",
    "Ces fichiers partagés ont été modifiés après l'installation et ont donc été conservés :"
        "\r\r%s",
    "以下共享文件在安装后被修改过，因此已保留：\r\r%s",
    "下列共用檔案在安裝後曾被修改，因此已保留：\r\r%s",
};

TUninstallText UninstallOtherCopy = {
    "Nur diese Kopie des Tessaron-Textverarbeitungsprogramms in „%s“ wurde entfernt. Der "
        "Deinstallationseintrag nennt eine andere Installation in „%s“: Ihr Eintrag, ihre "
        "Verknüpfungen, ihre Einstellungen und ihre gemeinsam genutzten Dateien bleiben erhalten.",
    "Only this copy of Tessaron Word Processor, in \"%s\", was removed. The uninstall entry names "
        "another installation, in \"%s\": its entry, shortcuts, settings and shared files are "
        "kept.",
    "Solo se ha quitado esta copia del procesador de textos Tessaron, en «%s». La entrada de "
        "desinstalación indica otra instalación, en «%s»: su entrada, sus accesos directos, su "
        "configuración y sus archivos compartidos se conservan.",
    "Seule cette copie du traitement de texte Tessaron, dans « %s », a été supprimée. L'entrée "
        "de désinstallation désigne une autre installation, dans « %s » : son entrée, ses "
        "raccourcis, ses paramètres et ses fichiers partagés sont conservés.",
    "只删除了位于“%s”的这份泰萨隆文字处理器。卸载项指向位于“%s”的另一个安装：它的卸载项、"
        "快捷方式、设置和共享文件均被保留。",
    "只移除了位於「%s」的這份泰薩隆文字處理器。解除安裝項目指向位於「%s」的另一個安裝：它的"
        "解除安裝項目、捷徑、設定和共用檔案均會保留。",
};
