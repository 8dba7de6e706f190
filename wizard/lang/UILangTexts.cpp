// The interface texts of the six languages, row by row as in UILangs.
#include "resources/Product.h"
#include "wizard/lang/UILang.h"

// Every text is stored as UTF-8 whatever the compiler's default execution character set.
static_assert(sizeof("ä") == 3 && sizeof("语") == 4, "texts must be compiled as UTF-8");

const TUILangInfo UILangs[kUILangCount] = {
    {7, "de", "Deutsch"},  // German, primary
    {9, "en", "English"},  // English, primary
    {10, "es", "Español"},  // Spanish, primary
    {12, "fr", "Français"},  // French, primary
    {4, "zh", "简体中文 (Simplified Chinese)"},  // Chinese, primary
    {0x0404, "zht", "繁體中文 (Traditional Chinese)"},  // Chinese (Taiwan), full id
};

uint8_t CurrentUILang = 1;

namespace {
// One stored text serves both Chinese rows, and all rows but French use the English help page.
const char kBackCaptionChinese[] = "< &B返回";
const char kCancelCaptionChinese[] = "取消";
const char kPortableHelpPathEn[] = "/en/help/portable.htm";
}  // namespace

TUIText ProductName = {
    "Tessaron-Textverarbeitungsprogramm",
    "Tessaron Word Processor",
    "Procesador de textos Tessaron",
    "Traitement de texte Tessaron",
    "泰萨隆文字处理器",
    "泰薩隆文字處理器",
};

TUIText WelcomeText = {
    "Dieses Programm installiert %s (Version " TSD_VERSION "%s) auf Ihrem Computer.",
    "This program will install %s (version " TSD_VERSION "%s) on your computer.",
    "Este programa instalará %s (versión " TSD_VERSION "%s) en su computadora.",
    "Ce programme va installer %s (version " TSD_VERSION "%s) sur votre ordinateur.",
    "此程序将在您的计算机上安装%s（版本" TSD_VERSION "%s）。",
    "此程序將在您的計算機上安裝%s（版本" TSD_VERSION "%s）。",
};

TUIText LanguagePrompt = {
    "Sprache:",
    "Language:",
    "Idioma:",
    "Langue :",
    "语言:",
    "語言:",
};

TUIText LicensePrompt = {
    "Bitte lesen Sie die folgende Lizenzvereinbarung:",
    "Please read the following License Agreement:",
    "Lea el siguiente acuerdo de licencia:",
    "Veuillez lire l'Accord de licence ci-dessous :",
    "请阅读以下许可协议:",
    "請閱讀以下許可協議:",
};

TUIText AcceptLicense = {
    "Ich akzeptiere alle Bedingungen der oben genannten Lizenzvereinbarung",
    "I &accept all the terms of the above License Agreement",
    "&Acepto todos los términos del Acuerdo de licencia anterior",
    "J'&accepte l'Accord de licence ci-dessus dans son intégralité",
    "&A我接受上述许可协议的所有条款",
    "&A我接受上述許可協議的所有條款",
};

TUIText InstallPortable = {
    "Als &portable Version installieren",
    "Install as &portable",
    "Instalar como &portátil",
    "Installer une copie &portable",
    "&P便携式安装",
    "&P便攜式安裝",
};

TUIText ReadyText = {
    "Sie können jetzt Tessaron-Textverarbeitungsprogramm installieren.\r\r"
        "Klicken Sie auf „Nächste“, um mit der Installation zu beginnen. Klicken Sie "
        "auf „Zurück“, wenn Sie die Installationseinstellungen überprüfen oder ändern "
        "möchten.",
    "You are now ready to install Tessaron Word Processor.\r\r"
        "Click Next to begin installation. Click Back if you want to review or change "
        "installation settings.",
    "Ahora está listo para instalar el Procesador de textos Tessaron.\r\r"
        "Haga clic en Siguiente para comenzar la instalación. Haga clic en Atrás si "
        "desea revisar o cambiar la configuración de instalación.",
    "Traitement de texte Tessaron est maintenant prêt à être installé.\r\r"
        "Cliquez sur \"Suite\" pour commencer l'installation. Cliquez sur \"Retour\" pour "
        "revoir ou modifier les options de l'installation.",
    "您现在可以安装泰萨隆文字处理器了。\r\r"
        "单击“下一步”开始安装。如果要查看或更改安装设置，请单击“上一步”。",
    "您現在可以安裝泰薩隆文字處理器了。\r\r"
        "單擊“下壹步”開始安裝。如果要查看或更改安裝設置，請單擊“上壹步”。",
};

TUIText InstallForAll = {
    "Installation für alle Benutzer dieses Computers",
    "Install for &anyone who uses this computer",
    "Instalar para cualquier persona que use esta computadora",
    "Installer pour &tous les utilisateurs de cet ordinateur",
    "&A为使用此计算机的任何人安装",
    "&A為使用此計算機的任何人安裝",
};

TUIText DesktopShortcut = {
    "Erstellen Sie eine &Desktop-Verknüpfung",
    "Create a &Desktop shortcut",
    "Crear un acceso directo en el escritorio",
    "Créer un raccourci &Bureau",
    "&D创建桌面快捷方式",
    "&D創建桌面快捷方式",
};

TUIText FinishedText = {
    "%s " TSD_VERSION "%s wurde erfolgreich auf Ihrem Computer installiert.\r\r"
        "Klicken Sie auf „Fertig stellen“, um dieses Setup zu beenden.",
    "%s " TSD_VERSION "%s has been successfully installed on your computer.\r\r"
        "Click Finish to exit this Setup.",
    "%s " TSD_VERSION "%s se ha instalado correctamente en su ordenador.\r\r"
        "Haga clic en Finalizar para salir de esta instalación.",
    "%s " TSD_VERSION "%s a été installé avec succès sur votre ordinateur.\r\r"
        "Cliquez sur Terminer pour quitter ce programme d'installation.",
    "%s" TSD_VERSION "%s已成功安装在您的计算机上。\r\r"
        "单击“完成”退出此安装程序。",
    "%s" TSD_VERSION "%s已成功安裝在您的計算機上。\r\r"
        "單擊“完成”退出此安裝程序。",
};

TUIText LaunchApp = {
    "&Starten Sie das Tessaron-Textverarbeitungsprogramm",
    "&Launch Tessaron Word Processor",
    "&Lanzamiento del Procesador de textos Tessaron",
    "&Lancer Traitement de texte Tessaron tout de suite",
    "&L开始泰萨隆文字处理器",
    "&L開始泰薩隆文字處理器",
};

TUIText Description = {
    "Kompaktes, schnell ladendes, aber dennoch leistungsstarkes und effizientes "
        "Textverarbeitungsprogramm",
    "Compact, fast-loading, but still powerful and efficient word processor",
    "Procesador de textos compacto, de carga rápida, pero potente y eficiente",
    "Traitement de texte compact, rapide, puissant, et par dessus tout pratique",
    "紧凑、快速加载，但仍然强大高效的文字处理器",
    "緊湊、快速加載，但仍然強大高效的文字處理器",
};

TUIText ProductNameInText = {
    "Tessaron-Textverarbeitungsprogramm",
    "Tessaron Word Processor",
    "Procesador de textos Tessaron",
    "Traitement de texte Tessaron",
    "泰萨隆文字处理器",
    "泰薩隆文字處理器",
};

TUIText SetupTitle = {
    "Tessaron-Textverarbeitungsprogramm - Setup",
    "Tessaron Word Processor - Setup",
    "Procesador de textos Tessaron - Instalación",
    "Installation du traitement de texte Tessaron",
    "泰萨隆文字处理器 - 安装",
    "泰薩隆文字處理器 - 安裝",
};

TUIText MustAgree = {
    "Um dieses Programm zu installieren, müssen Sie allen Bedingungen der "
        "Lizenzvereinbarung zustimmen.",
    "To install this program, you need to agree to all the terms of the License "
        "Agreement.",
    "Para instalar este programa, debe aceptar todos los términos del Acuerdo de "
        "licencia.",
    "L'installation de ce programme est liée à l'acceptation de l'ensemble des "
        "termes\r"
        "du Contrat de Licence du traitement de texte Tessaron.",
    "要安装此程序，您需要同意许可协议的所有条款。",
    "要安裝此程序，您需要同意許可協議的所有條款。",
};

TUIText CloseRunning = {
    "Bitte schließen Sie alle laufenden Instanzen des "
        "Tessaron-Textverarbeitungsprogramms und klicken Sie dann in diesem Dialogfeld "
        "auf „OK“.",
    "Please close any running instance(s) of Tessaron Word Processor, then click "
        "OK in this dialog.",
    "Cierre todas las instancias en ejecución del Procesador de textos Tessaron y "
        "luego haga clic en Aceptar en este diálogo.",
    "Veuillez fermer tous les exemplaires du traitement de texte Tessaron "
        "actuellement ouverts\r"
        "avant de cliquer sur le bouton \"OK\" ci-dessous.",
    "请关闭任何正在运行的Tessaron文字处理器实例，然后在此对话框中单击“确定”.",
    "請關閉任何正在運行的Tessaron文字處理器實例，然後在此對話框中單擊“確定”.",
};

TUIText QuitSetup = {
    "Die Installation ist nicht abgeschlossen. Möchten Sie dieses Setup-Programm "
        "beenden?",
    "Setup is not complete. Do you wish to quit this setup program?",
    "La instalación no está completa. ¿Desea salir de este programa de instalación?",
    "L'installation n'est pas terminée !\r\r"
        "Pour poursuivre l'installation maintenant, cliquez sur \"Non\".\r\r"
        "Pour interrompre l'installation, cliquez sur \"Oui\".",
    "安装未完成。您想退出此安装程序吗？",
    "安裝未完成。您想退出此安裝程序嗎？",
};

TUIText PortableHelpPath = {
    kPortableHelpPathEn,
    kPortableHelpPathEn,
    kPortableHelpPathEn,
    "/fr/help/portable.htm",
    kPortableHelpPathEn,
    kPortableHelpPathEn,
};

TUIText PortableNotHere = {
    "In diesem Ordner kann keine portable Kopie installiert werden.",
    "A portable copy cannot be installed to this folder.",
    "No se puede instalar una copia portátil en esta carpeta.",
    "Une copie portable ne peut pas être installée dans ce dossier.",
    "无法将便携副本安装到此文件夹。",
    "無法將便攜副本安裝到此文件夾。",
};

TUIText CannotCreateFile = {
    "Die Datei „%s“ kann nicht erstellt werden.\r"
        "Möglicherweise verwendet eine andere Anwendung diese Datei bereits.\r\r"
        "Bitte stellen Sie sicher, dass die Einrichtung von "
        "Tessaron-Textverarbeitungsprogramm in keiner Weise durch Ihre "
        "Sicherheitssoftware (Firewall/Antivirus) blockiert wird.\r"
        "Möglicherweise möchten Sie Ihre Sicherheitssoftware vorübergehend "
        "deaktivieren und es erneut versuchen.",
    "Cannot create file \"%s\".\r"
        "Another application might already be using this file.\r\r"
        "Please make sure that the setup of Tessaron Word Processor is not blocked by "
        "your security software (firewall/antivirus) in any way.\r"
        "You might want to temporarily disable your security software and try again.",
    "No se puede crear el archivo \"%s\".\r"
        "Es posible que otra aplicación ya esté usando este archivo.\r\r"
        "Asegúrese de que la configuración del Procesador de textos Tessaron no esté "
        "bloqueada de ninguna manera por su software de seguridad "
        "(firewall/antivirus).\r"
        "Es posible que desee desactivar temporalmente su software de seguridad e "
        "intentarlo nuevamente.",
    "Impossible de créer le fichier \"%s\".\r"
        "Ce fichier est peut-être actuellement utilisé par une autre application.\r\r"
        "Veuillez vous assurer que le processus d'installation du traitement de texte "
        "Tessaron n'est pas bloqué par votre logiciel de sécurité (pare-feu ou "
        "antivirus).\r"
        "Essayez de désactiver votre logiciel de sécurité et relancez l'installation "
        "d'Tessaron.",
    "无法创建文件“%s”。\r"
        "其他应用程序可能已在使用此文件。\r\r"
        "请确保您的安全软件（防火墙/防病毒软件）不会以任何方式阻止泰萨隆文字处理器的设置。\r"
        "您可能希望暂时禁用安全软件，然后重试。",
    "無法創建文件“%s”。\r"
        "其他應用程序可能已在使用此文件。\r\r"
        "請確保您的安全軟件（防火墻/防病毒軟件）不會以任何方式阻止泰薩隆文字處理器的設置。\r"
        "您可能希望暫時禁用安全軟件，然後重試。",
};

TUIText BackCaption = {
    "< &Zurück",
    "< &Back",
    "< &Previo",
    "< &Retour",
    kBackCaptionChinese,
    kBackCaptionChinese,
};

TUIText NextCaption = {
    "&Nächste >",
    "&Next >",
    "&Siguiente >",
    "&Suite >",
    "&N下一步>",
    "&N下壹步>",
};

TUIText FinishCaption = {
    "&Fertig stellen",
    "&Finish",
    "&Terminar",
    "&Terminer",
    "&F结束",
    "&F結束",
};

TUIText CancelCaption = {
    "Abbrechen",
    "Cancel",
    "Cancelar",
    "Annuler",
    kCancelCaptionChinese,
    kCancelCaptionChinese,
};

const char* const PageTitles[kUILangCount][kPageCount] = {
    {
        "Willkommen beim Tessaron-Textverarbeitungsprogramm-Setup",
        "Lizenzvereinbarung",
        "Wählen Sie Zielordner",
        "Bereit zur Installation",
        "Installieren",
        "Installation abgeschlossen",
    },
    {
        "Welcome to the Tessaron Word Processor Setup",
        "License Agreement",
        "Choose Destination Folder",
        "Ready to Install",
        "Installing",
        "Installation Complete",
    },
    {
        "Bienvenido a la instalación del Procesador de textos Tessaron",
        "Acuerdo de licencia",
        "Elija la carpeta de destino",
        "Listo para instalar",
        "Instalando",
        "Instalación completa",
    },
    {
        "Merci de faire confiance à Tessaron",
        "Accord de Licence",
        "Choix du dossier d'installation",
        "L'installation peut commencer",
        "Installation",
        "Installation terminée",
    },
    {
        "欢迎使用泰萨隆文字处理器设置",
        "许可协议",
        "选择目标文件夹",
        "准备安装",
        "安装",
        "安装完成",
    },
    {
        "歡迎使用泰薩隆文字處理器設置",
        "許可協議",
        "選擇目標文件夾",
        "準備安裝",
        "安裝",
        "安裝完成",
    },
};
