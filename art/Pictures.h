// The 28 skin pictures, each drawn at the exact size its window expects.
#pragma once
#include <cairo.h>

// Button states in strip order; the fifth frame is never shown and repeats
// the normal one.
enum { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3, kFrames = 5 };

// Window and page faces.
cairo_surface_t* DrawMainWindow(void);       // 780 x 520
cairo_surface_t* DrawDialog(void);           // 520 x 260
cairo_surface_t* DrawDialogOfHeight(int h); // 520 x h (the settings dialog)
cairo_surface_t* DrawAboutBox(void);         // 430 x 240
cairo_surface_t* DrawEntrancePage(void);     // 766 x 443
cairo_surface_t* DrawTextPage(void);         // 766 x 443
cairo_surface_t* DrawFilePage(void);         // 766 x 443

// Caption buttons of the main window's band (30 or 35 x 18 frames) and of
// the dialogs' band.
enum SysGlyph { kGlyphMenu, kGlyphMinimise, kGlyphClose };
cairo_surface_t* DrawSysButton(enum SysGlyph glyph, int frameWidth);  // main band
cairo_surface_t* DrawDialogClose(void);      // 175 x 18, dialog band
cairo_surface_t* DrawAboutClose(void);       // 125 x 17, about box band

// Back and settings on the main band: 220 x 26.
cairo_surface_t* DrawBandButton(int settings);

// The four entrance cards: 1800 x 160.
enum CardKind { kCardS2T, kCardT2S, kCardFS2T, kCardFT2S };
cairo_surface_t* DrawCard(enum CardKind kind);

// Folder browse button: 130 x 24.
cairo_surface_t* DrawBrowseButton(void);

// Action buttons: 500 x 30 with their caption.
enum ActionStyle { kActionPrimary, kActionSecondary, kActionNeutral, kActionStop };
cairo_surface_t* DrawActionButton(const char* caption, enum ActionStyle style);

// Busy indicator: 18 frames of 128 x 128 on the key colour.
cairo_surface_t* DrawRotates(void);

// Geometry the faces and the buttons agree on.
enum {
  kMainBand = 66,     // main window title band
  kDialogBand = 25,   // 520 x 260 dialog title band
  kAboutBand = 34,    // about box band (holds the version badge at (9, 7))
};
