#pragma once
// CProofWordDlg: "以后都这样转换…" from a place's menu. It proposes a word
// list entry (the word around the place and what it becomes), lets the
// user change both, and after IDOK holds the entry to add. A single
// character is taken only when the user confirms it: such an entry
// changes that character everywhere.
#include <string>

#include "engine/ConvDirection.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"
#include "skin/SkinEdit.h"
#include "skin/SkinStatic.h"

class CProofWordDlg : public vek_SkinDlg {
 public:
  CProofWordDlg(fw::CWnd* owner, std::wstring source, std::wstring result);

  std::wstring source;  // after IDOK: the entry
  std::wstring result;

  vek_SkinStatic sourceLabel, resultLabel, noteLabel;
  vek_SkinEdit sourceEdit, resultEdit;
  vek_SkinBtn ok, cancel, close;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  CtrlSkinTable SkinTable() override;

 private:
  // What is wrong with the two texts, or empty.
  std::wstring Problem() const;
};

// Adds "source TAB result" to the word list at `path` (created with its
// header when missing), in place of an entry of the same source, which
// the list would otherwise skip as a repeat. False when the file cannot be
// read or written.
bool AddWordListEntry(const std::wstring& path, ConvDirection direction, const std::wstring& source,
                      const std::wstring& result);
