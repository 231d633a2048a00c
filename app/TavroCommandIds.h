#pragma once

// Command identifiers of the menus, the toolbar and the accelerator table.
// The numbers are the ones the editor's command tables use, so that views and
// controllers can find the same command by id.
namespace TavroCmd {

// Framework commands
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616; // File1 .. File4: 57616 .. 57619
inline constexpr int AppExit = 57665;
inline constexpr int AppAbout = 57664;
inline constexpr int HelpFinder = 57670;

inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditFind = 57636;
inline constexpr int EditPaste = 57637;
inline constexpr int EditReplace = 57641;
inline constexpr int EditSelectAll = 57642;
inline constexpr int EditUndo = 57643;
inline constexpr int EditRedo = 57644;

inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

inline constexpr int WindowNew = 57648;
inline constexpr int WindowArrange = 57649;
inline constexpr int WindowCascade = 57650;
inline constexpr int WindowTileHorz = 57651;
inline constexpr int NextPane = 57680;
inline constexpr int PrevPane = 57681;

// Editor commands shown on the toolbar and the Bookmark menu
inline constexpr int EditFindNext = 45041;
inline constexpr int EditBookmarkToggle = 45267;
inline constexpr int EditBookmarkNext = 45300;
inline constexpr int EditBookmarkPrev = 45333;
inline constexpr int EditBookmarkClearAll = 45366;
inline constexpr int EditColumnMode = 45054;

// Application commands
inline constexpr int ChooseFont = 32771;
inline constexpr int RepeatSearch = 32773;
inline constexpr int SelectEntireDocument = 32775;
inline constexpr int DateTime = 32780;
inline constexpr int Comment = 32781;
inline constexpr int Count = 32785;
inline constexpr int Options = 32789;
inline constexpr int UserName = 32790;
inline constexpr int CompanyName = 32791;
inline constexpr int Address = 32792;
inline constexpr int Email = 32793;
inline constexpr int Telephone = 32794;
inline constexpr int Fax = 32795;
inline constexpr int UserInfoAll = 32796;
inline constexpr int Template = 32797;
inline constexpr int SetLanguage = 32800;
inline constexpr int UpperCase = 32803;
inline constexpr int LowerCase = 32804;
inline constexpr int ShowWhitespace = 32805;
inline constexpr int IndentIncrease = 32808;
inline constexpr int IndentDecrease = 32809;
inline constexpr int GoTo = 32812;
inline constexpr int CheckSpelling = 32813;
inline constexpr int RemainOnTop = 32814;
inline constexpr int ShowLineNumbers = 32816;
inline constexpr int Uuid = 32817;

} // namespace TavroCmd

// Control and pane ids of the main window's bars.
namespace TavroBar {
inline constexpr int MenuBar = 59647;
inline constexpr int ToolBar = 59392;
inline constexpr int StatusBar = 59393;
inline constexpr int ReBar = 59396;
inline constexpr int PaneLineColumn = 22579;
inline constexpr int PaneCaps = 59137;
inline constexpr int PaneNum = 59138;
inline constexpr int PaneOverwrite = 59140;
} // namespace TavroBar
