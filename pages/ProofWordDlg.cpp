#include "pages/ProofWordDlg.h"

#include "fw/Handle.h"
#include "fw/MessageBox.h"
#include "pages/PageIds.h"
#include "pages/PageRes.h"
#include "pages/UserWords.h"
#include "skeldon/ResIds.h"
#include "skin/DialogPlace.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\r\n\x3000");
  if (first == std::wstring::npos) return {};
  const size_t last = text.find_last_not_of(L" \t\r\n\x3000");
  return text.substr(first, last - first + 1);
}

size_t Characters(const std::wstring& text) {
  size_t n = 0;
  for (wchar_t c : text) n += IS_LOW_SURROGATE(c) ? 0 : 1;
  return n;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  return bytes.empty() ||
         (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
          got == bytes.size());
}

// Written beside the list and moved over it when whole: a failure keeps
// the old list.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const std::wstring temp = path + L".new";
  {
    fw::UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      file.reset();
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace

CProofWordDlg::CProofWordDlg(fw::CWnd* owner, std::wstring sourceWord, std::wstring resultWord)
    : vek_SkinDlg(IDD_PROOF_WORD, owner), source(std::move(sourceWord)), result(std::move(resultWord)) {
  faceId = BMP_DLG_520X260;
  UseLightBody();
}

CtrlSkinTable CProofWordDlg::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  constexpr int kPosSize = CTRLSKIN_POS | CTRLSKIN_SIZE;
  constexpr int kLabel = kPosSize | CTRLSKIN_BACK | CTRLSKIN_FORE;
  using palette::kBody, palette::kBodyText;
  return CtrlSkinTable{{&close, BMP_SYSBTN_DLGCLOSE, -37, 0, 0, 0, 0, 0, kImagePos},
                       {&ok, BMP_BTN_OK, 285, 206, 0, 0, 0, 0, kImagePos},
                       {&cancel, BMP_BTN_CANCEL, 395, 206, 0, 0, 0, 0, kImagePos},
                       {&sourceLabel, 0, 24, 52, 70, 16, kBody, kBodyText, kLabel},
                       {&sourceEdit, 0, 100, 48, 200, 24, 0, 0, kPosSize},
                       {&resultLabel, 0, 24, 92, 70, 16, kBody, kBodyText, kLabel},
                       {&resultEdit, 0, 100, 88, 200, 24, 0, 0, kPosSize},
                       {&noteLabel, 0, 24, 128, 470, 60, kBody, kBodyText, kLabel},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

void CProofWordDlg::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_PROOF_SOURCE_LABEL, sourceLabel);
  fw::DDX_Control(dx, IDC_PROOF_RESULT_LABEL, resultLabel);
  fw::DDX_Control(dx, IDC_PROOF_NOTE, noteLabel);
  fw::DDX_Control(dx, IDC_PROOF_SOURCE, sourceEdit);
  fw::DDX_Control(dx, IDC_PROOF_RESULT, resultEdit);
  fw::DDX_Control(dx, IDOK, ok);
  fw::DDX_Control(dx, IDCANCEL, cancel);
  fw::DDX_Control(dx, IDC_CLOSE_BTN, close);
  fw::DDX_Text(dx, IDC_PROOF_SOURCE, source);
  fw::DDX_Text(dx, IDC_PROOF_RESULT, result);
}

BOOL CProofWordDlg::OnInitDialog() {
  vek_SkinDlg::OnInitDialog();
  for (vek_SkinEdit* e : {&sourceEdit, &resultEdit}) e->borderColor = palette::kEditBorder;
  title = L"以后都这样转换";
  SetWindowText(title);
  CenterOverOwner(m_hWnd);
  ::SetFocus(sourceEdit.m_hWnd);
  sourceEdit.SetSel(0, -1);
  return FALSE;  // the focus is set
}

std::wstring CProofWordDlg::Problem() const {
  if (source.empty() || result.empty()) return L"原文和转换结果都不能为空。";
  for (const std::wstring* t : {&source, &result}) {
    if (t->find_first_of(L"\t\r\n") != std::wstring::npos) return L"词条不能含有 Tab 或换行。";
  }
  if (source.front() == L'#') return L"以 # 开头的行是注释, 原文不能以 # 开头。";
  return {};
}

BOOL CProofWordDlg::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    switch (LOWORD(wp)) {
      case IDOK: {
        UpdateData(true);
        source = Trimmed(source);
        result = Trimmed(result);
        const std::wstring problem = Problem();
        if (!problem.empty()) {
          fw::AppMessageBox(m_hWnd, problem, MB_OK | MB_ICONWARNING);
          return TRUE;
        }
        if (Characters(source) == 1 &&
            fw::AppMessageBox(m_hWnd,
                              L"只有一个字的词条会改变这个字以后每一处的转换 (包括词组里的)。\n"
                              L"确定要添加「" + source + L"」→「" + result + L"」吗?",
                              MB_YESNO | MB_ICONQUESTION) != IDYES) {
          return TRUE;
        }
        fw::CDialog::OnOK();
        return TRUE;
      }
      case IDCANCEL:
      case IDC_CLOSE_BTN: fw::CDialog::OnCancel(); return TRUE;
      default: break;
    }
  }
  return vek_SkinDlg::OnCommand(wp, lp);
}

bool AddWordListEntry(const std::wstring& path, ConvDirection direction, const std::wstring& source,
                      const std::wstring& result) {
  if (path.empty() || !EnsureWordList(path, direction)) return false;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  // Every line is kept but an entry of the same source.
  const std::string key = Utf8(source) + "\t";
  std::string kept;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    end = end == std::string::npos ? bytes.size() : end + 1;
    const size_t skip = start == 0 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.compare(start + skip, key.size(), key) != 0) kept.append(bytes, start, end - start);
    start = end;
  }
  if (!kept.empty() && kept.back() != '\n') kept += "\r\n";
  kept += key + Utf8(result) + "\r\n";
  return WriteWholeFile(path, kept);
}
