#pragma once
// The resource ids the program asks skeldon.dat for: bitmaps (kind 1 in the
// top four bits) and texts (their own numbering). The values are fixed by
// the resource pack's tables; the program and the pack share this header.

// Load types of vek_IResMgr::Init.
constexpr long LOADTYPE_FILES = 1;   // bitmaps from loose .bmp files in a folder
constexpr long LOADTYPE_MODULE = 2;  // everything from the module itself

// The kind of a resource id: the id shifted right arithmetically by 28.
constexpr long RESKIND_BITMAP = 1;
constexpr long RESKIND_RAW = 7;
constexpr long ResKind(long id) { return id >> 28; }

// Bitmaps. Button strips hold five frames of width / 5: normal, hover,
// pressed, disabled and one never shown.
constexpr long BMP_MAINWND = 0x10000001;           // 780 x 520, main window face
constexpr long BMP_SYSBTN_MENU = 0x10000002;       // 150 x 18, caption menu button
constexpr long BMP_SYSBTN_MIN = 0x10000003;        // 150 x 18, caption minimise button
constexpr long BMP_SYSBTN_CLOSE = 0x10000004;      // 175 x 18, caption close button
constexpr long BMP_SYSBTN_DLGCLOSE = 0x10000005;   // 175 x 18, dialog close button
constexpr long BMP_BTN_BACK = 0x10000006;          // 220 x 26, Back
constexpr long BMP_BTN_SETTING = 0x10000007;       // 220 x 26, settings
constexpr long BMP_BTN_S2T = 0x10000008;           // 1800 x 160, entrance: text S->T
constexpr long BMP_BTN_T2S = 0x10000009;           // 1800 x 160, entrance: text T->S
constexpr long BMP_BTN_FS2T = 0x1000000A;          // 1800 x 160, entrance: files S->T
constexpr long BMP_BTN_FT2S = 0x1000000B;          // 1800 x 160, entrance: files T->S
constexpr long BMP_BTN_BROWSE = 0x1000000C;        // 130 x 24, folder browse button
constexpr long BMP_BTN_STARTCONV = 0x1000000D;     // 500 x 30, start converting
constexpr long BMP_BTN_ADDFILE = 0x1000000E;       // 500 x 30, add files
constexpr long BMP_BTN_REMOVE = 0x1000000F;        // 500 x 30, remove file
constexpr long BMP_BTN_CLEAR = 0x10000010;         // 500 x 30, clear queue
constexpr long BMP_BTN_STOP = 0x10000011;          // 500 x 30, stop converting
constexpr long BMP_BTN_OPENFOLDER = 0x10000012;    // 500 x 30, open output folder
constexpr long BMP_BTN_OK = 0x10000013;            // 500 x 30, OK
constexpr long BMP_BTN_CANCEL = 0x10000014;        // 500 x 30, Cancel
constexpr long BMP_DLG_520X260 = 0x10000015;       // 520 x 260, dialog face
constexpr long BMP_ROTATES = 0x10000017;           // 2304 x 128, 18 busy frames of 128 x 128
constexpr long BMP_VIEW_BLANK = 0x10000018;        // 766 x 443, entrance page face
constexpr long BMP_VIEW_TCONV = 0x10000019;        // 766 x 443, text page face
constexpr long BMP_VIEW_FCONV = 0x1000001A;        // 766 x 443, file page face
constexpr long BMP_XBTN_DLGCLOSE = 0x10000020;     // 125 x 17, about box close button
constexpr long BMP_DLG_ABOUT = 0x1000002A;         // 430 x 240, about box face
constexpr long BMP_DLG_520X515 = 0x1000002B;       // 520 x 515, the settings dialog face

// The same pictures drawn for a larger display scale: the bitmap id with the
// set in bits 20 to 23 (1: 125%, 2: 150%, 3: 175%, 4: 200%). Every picture
// of a set is its 100% size scaled and rounded to the nearest pixel; a strip
// keeps its frame count, each frame scaled alike. 100% is the id itself.
constexpr int kSkinSetCount = 5;
constexpr int kSkinSetPercents[kSkinSetCount] = {100, 125, 150, 175, 200};
constexpr long kSkinSetShift = 20;
constexpr long kSkinSetMask = 0xFL << kSkinSetShift;
constexpr long SkinSetId(long id, int percent) {
  return percent <= 100 ? (id & ~kSkinSetMask)
                        : ((id & ~kSkinSetMask) |
                           (static_cast<long>(percent >= 200 ? 4 : (percent - 100) / 25)
                            << kSkinSetShift));
}
constexpr int SkinSetOf(long id) { return static_cast<int>((id & kSkinSetMask) >> kSkinSetShift); }
constexpr long SkinBaseId(long id) { return id & ~kSkinSetMask; }

// Texts. Multi-item texts separate their items with line feeds.
constexpr long TXT_WEB_PAGE1 = 0x10000001;         // the project's web pages
constexpr long TXT_WEB_PAGE2 = 0x10000002;
constexpr long TXT_WEB_PAGE3 = 0x10000003;
constexpr long TXT_WEB_PAGE4 = 0x10000004;
constexpr long TXT_WEB_PAGE5 = 0x10000005;
constexpr long TXT_WEB_PAGE6 = 0x10000006;
constexpr long TXT_PRODUCT_TITLE = 0x20000001;     // caption of every message box
constexpr long TXT_FILE_COLUMNS = 0x30000001;      // file list column titles
constexpr long TXT_FILE_FILTER = 0x30000002;       // file-open filter for text files
constexpr long TXT_CHOOSE_FOLDER = 0x30000003;
constexpr long TXT_CONFIRM_STOP = 0x30000004;
constexpr long TXT_DONE_OPEN_FOLDER = 0x30000005;
constexpr long TXT_FILE_STATES = 0x30000006;       // waiting, processing, done, stopped, error
constexpr long TXT_ENCODINGS = 0x30000007;         // ANSI, Unicode, Unicode big endian, UTF-8
constexpr long TXT_NOTHING_TO_DO = 0x30000010;
constexpr long TXT_TEXT_FILES_FILTER = 0x30000011;  // file-open filter: text and subtitles, all files
constexpr long TIP_HELP = 0x60000001;
constexpr long TIP_MINIMISE = 0x60000002;
constexpr long TIP_CLOSE = 0x60000003;
constexpr long TIP_MENU = 0x60000004;
constexpr long TIP_BACK = 0x60000005;
constexpr long TIP_SETTINGS = 0x60000006;
constexpr long TIP_DLG_CLOSE = 0x60000007;
constexpr long TIP_START = 0x60000008;
constexpr long TIP_STOP = 0x60000009;
constexpr long TIP_ADD_FILES = 0x6000000A;
constexpr long TIP_REMOVE_FILE = 0x6000000B;
constexpr long TIP_CLEAR_QUEUE = 0x6000000C;
constexpr long TIP_OPEN_FOLDER = 0x6000000D;
constexpr long TIP_RESET_SETTINGS = 0x6000000E;
constexpr long TITLE_ABOUT = 0x70000001;
constexpr long TITLE_CONVERTING = 0x70000003;
constexpr long TITLE_SETTINGS = 0x70000004;
constexpr long TITLE_FILE_SETTINGS = 0x70000005;
