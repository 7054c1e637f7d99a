#pragma once
// The two file pages and the settings dialog live in their own classes;
// this is the one place where the main window reaches them.
#include <memory>
#include <string>
#include <vector>

#include "fw/Wnd.h"
#include "pages/SubView.h"

// The page object for slot 3 (Simplified files to Traditional) or 4
// (Traditional files to Simplified); its window is created by the caller.
std::unique_ptr<CSubView> MakeFilePage(int index, fw::CWnd* mainWnd);

// True while the file page `page` runs a conversion.
bool FilePageBusy(CSubView* page);
// Queues `paths` on the file page `page` as a drop would: folders give the
// .txt files in them. False when `page` is no file page.
bool QueueOnFilePage(CSubView* page, const std::vector<std::wstring>& paths);

class ClipboardService;

// The settings button; `clipboard` (may be null) takes the new hotkeys and
// icon option into effect.
void RunSettingsDialog(fw::CWnd* mainWnd, ClipboardService* clipboard = nullptr);
