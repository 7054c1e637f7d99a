#pragma once
// The colours and title offsets the skin's faces are painted for. Every
// window takes them from here, so a face redrawn in other colours changes
// one place.
#include <windows.h>

namespace palette {

// The dark main window and its pages: child controls' text and background.
constexpr COLORREF kDarkText = RGB(182, 182, 182);
constexpr COLORREF kDark = RGB(51, 50, 52);
// The title drawn in a face's caption band.
constexpr COLORREF kTitle = RGB(255, 255, 255);
constexpr int kTitleLeft = 55;
constexpr int kTitleTop = 13;

// The light body of the 520 by 260 dialogs (settings, encoding, progress);
// their title sits higher in a narrower band.
constexpr COLORREF kBodyText = RGB(64, 64, 64);
constexpr COLORREF kBody = RGB(241, 241, 241);
constexpr int kBodyTitleTop = 9;
// The border of an edit box on that body.
constexpr COLORREF kEditBorder = RGB(91, 147, 209);

// The text pages' panels around their two edit boxes.
constexpr COLORREF kPageText = kBodyText;
constexpr COLORREF kPagePanel = RGB(238, 247, 246);
// The underline under a place of a result to proofread, and the small
// buttons that move between them.
constexpr COLORREF kProofMark = RGB(20, 142, 195);

}  // namespace palette
