#include "skeldon/ResTables.h"

#include <cwchar>

#include "skeldon/ResIds.h"
#include "skeldon/ResNumbers.h"

namespace skeldon {

// Bitmaps live in the module as RT_BITMAP resources (language 2052) and,
// for load type 1, as loose files of the same pictures.
const stResInfo ResBitmapTable[] = {
    {BMP_MAINWND, RESNUM_MWND, L"mwnd.bmp"},
    {BMP_SYSBTN_MENU, RESNUM_SBTN_HELP, L"sbtn_help.bmp"},
    {BMP_SYSBTN_MIN, RESNUM_SBTN_MIN, L"sbtn_min.bmp"},
    {BMP_SYSBTN_CLOSE, RESNUM_SBTN_CLOSE, L"sbtn_close.bmp"},
    {BMP_SYSBTN_DLGCLOSE, RESNUM_SBTN_DLGCLOSE, L"sbtn_dlgclose.bmp"},
    {BMP_BTN_BACK, RESNUM_IBTN_BACK, L"ibtn_back.bmp"},
    {BMP_BTN_SETTING, RESNUM_IBTN_SETTING, L"ibtn_setting.bmp"},
    {BMP_BTN_S2T, RESNUM_IBTN_S2T, L"ibtn_s2t.bmp"},
    {BMP_BTN_T2S, RESNUM_IBTN_T2S, L"ibtn_t2s.bmp"},
    {BMP_BTN_FS2T, RESNUM_IBTN_FS2T, L"ibtn_fs2t.bmp"},
    {BMP_BTN_FT2S, RESNUM_IBTN_FT2S, L"ibtn_ft2s.bmp"},
    {BMP_BTN_BROWSE, RESNUM_IBTN_OPENFOLDER, L"ibtn_openfolder.bmp"},
    {BMP_BTN_STARTCONV, RESNUM_BTN_STARTCONV, L"btn_startconv.bmp"},
    {BMP_BTN_ADDFILE, RESNUM_BTN_ADDFILE, L"btn_addfile.bmp"},
    {BMP_BTN_REMOVE, RESNUM_BTN_REMOVE, L"btn_remove.bmp"},
    {BMP_BTN_CLEAR, RESNUM_BTN_CLEAR, L"btn_clear.bmp"},
    {BMP_BTN_STOP, RESNUM_BTN_STOP, L"btn_stop.bmp"},
    {BMP_BTN_OPENFOLDER, RESNUM_BTN_OPENFOLDER, L"btn_openfolder.bmp"},
    {BMP_BTN_OK, RESNUM_BTN_OK, L"btn_ok.bmp"},
    {BMP_BTN_CANCEL, RESNUM_BTN_CANCEL, L"btn_cancel.bmp"},
    {BMP_DLG_520X260, RESNUM_DLG_520X260, L"dlg_sz520x260.bmp"},
    {BMP_ROTATES, RESNUM_IMG_ROTATES, L"img_rotates.bmp"},
    {BMP_VIEW_BLANK, RESNUM_VIEW_BLANK, L"img_viewbkgndblank.bmp"},
    {BMP_VIEW_TCONV, RESNUM_VIEW_TCONV, L"img_viewbkgndtconv.bmp"},
    {BMP_VIEW_FCONV, RESNUM_VIEW_FCONV, L"img_viewbkgndfconv.bmp"},
    {BMP_XBTN_DLGCLOSE, RESNUM_XBTN_DLGCLOSE, L"xbtn-dlgclose.bmp"},
    {BMP_DLG_ABOUT, RESNUM_DLG_ABOUT, L"dlg-about.bmp"},
    {BMP_DLG_520X515, RESNUM_DLG_520X515, L"dlg_sz520x515.bmp"},
};
const size_t ResBitmapCount = sizeof(ResBitmapTable) / sizeof(ResBitmapTable[0]);

// Raw resources: one placeholder row that no kind-7 id matches.
const stResInfo ResRawTable[] = {
    {1, 1, L""},
};
const size_t ResRawCount = sizeof(ResRawTable) / sizeof(ResRawTable[0]);

const ResTextRow ResTextTable[] = {
    // The project's web pages: it has none yet, so the texts stay empty.
    {TXT_WEB_PAGE1, L""},
    {TXT_WEB_PAGE2, L""},
    {TXT_WEB_PAGE3, L""},
    {TXT_WEB_PAGE4, L""},
    {TXT_WEB_PAGE5, L""},
    {TXT_WEB_PAGE6, L""},
    {TXT_PRODUCT_TITLE, L"Quorvane简体繁体字转换器"},
    {TXT_FILE_COLUMNS, L"文件名\n文件大小\n编码\n状态\n"},
    {TXT_FILE_FILTER, L"文本文件 (*.txt)|*.txt||"},
    {TXT_CHOOSE_FOLDER, L"请选择一个文件夹"},
    {TXT_CONFIRM_STOP, L"您确定要终止转换?"},
    {TXT_DONE_OPEN_FOLDER, L"处理完成,您是否要打开存储文件夹?"},
    {TXT_FILE_STATES, L"待处理\n正在处理\n处理完成\n处理终止\n未知错误\n"},
    {TXT_ENCODINGS, L"ANSI\nUnicode\nUnicode big endian\nUTF-8\n"},
    {TXT_NOTHING_TO_DO, L"请先添加需要处理的内容再执行该操作."},
    {TXT_TEXT_FILES_FILTER, L"文本与字幕文件|*.txt;*.text;*.log;*.htm;*.html;*.xhtml;*.xml;*.json;*.csv;*.tsv;*.ini;*.md;*.srt;*.ass;*.ssa;*.vtt;*.lrc;*.sub|所有文件 (*.*)|*.*||"},
    {TIP_HELP, L"帮助"},
    {TIP_MINIMISE, L"最小化"},
    {TIP_CLOSE, L"关闭"},
    {TIP_MENU, L"菜单"},
    {TIP_BACK, L"返回主界面"},
    {TIP_SETTINGS, L"系统设置"},
    {TIP_DLG_CLOSE, L"关闭"},
    {TIP_START, L"开始转换"},
    {TIP_STOP, L"停止转换"},
    {TIP_ADD_FILES, L"添加文件到转换队列"},
    {TIP_REMOVE_FILE, L"把选中的文件从转换队列中移除"},
    {TIP_CLEAR_QUEUE, L"清空转换队列"},
    {TIP_OPEN_FOLDER, L"打开存放转换结果的文件夹"},
    {TIP_RESET_SETTINGS, L"重新初始化系统设置"},
    {TITLE_ABOUT, L"关于我们"},
    {TITLE_CONVERTING, L"正在转换..."},
    {TITLE_SETTINGS, L"设置"},
    {TITLE_FILE_SETTINGS, L"文件设置"},
};
const size_t ResTextCount = sizeof(ResTextTable) / sizeof(ResTextTable[0]);

namespace {

const stResInfo* FindRow(const stResInfo* rows, size_t count, LONG id) {
  for (size_t i = 0; i < count; ++i) {
    if (rows[i].nResId == id) return &rows[i];
  }
  return nullptr;
}

}  // namespace

namespace {

// The larger sets: the 100% rows again, each in its set's folder ("150\\"
// for the loose files) and as resource number + 1000 x set in the module.
struct ScaledRows {
  stResInfo rows[(kSkinSetCount - 1) * (sizeof(ResBitmapTable) / sizeof(ResBitmapTable[0]))];
  size_t count = 0;
  ScaledRows() {
    for (int set = 1; set < kSkinSetCount; ++set) {
      for (size_t i = 0; i < ResBitmapCount && count < sizeof(rows) / sizeof(rows[0]); ++i) {
        stResInfo& row = rows[count++];
        row.nResId = SkinSetId(ResBitmapTable[i].nResId, kSkinSetPercents[set]);
        row.nResource = ResBitmapTable[i].nResource + 1000 * set;
        swprintf(row.szResPathName, sizeof(row.szResPathName) / sizeof(WCHAR), L"%d\\%ls",
                 kSkinSetPercents[set], ResBitmapTable[i].szResPathName);
      }
    }
  }
};

}  // namespace

const stResInfo* FindBitmapRow(LONG id) {
  if (SkinSetOf(id) == 0) return FindRow(ResBitmapTable, ResBitmapCount, id);
  static const ScaledRows scaled;
  return FindRow(scaled.rows, scaled.count, id);
}

const stResInfo* FindRawRow(LONG id) { return FindRow(ResRawTable, ResRawCount, id); }

const ResTextRow* FindTextRow(LONG id) {
  for (size_t i = 0; i < ResTextCount; ++i) {
    if (ResTextTable[i].id == id) return &ResTextTable[i];
  }
  return nullptr;
}

}  // namespace skeldon
