#pragma once
// The browser's process-wide state, read and written by the handlers of every
// window. A text is always replaced whole. The texts that worker threads
// write are PublishedTexts: a reader on the GUI thread sees the old or the
// new value, never one being released.
#include <array>
#include <memory>
#include <mutex>

#include "platform/text.h"
#include "portal/scraper_patterns.h"

namespace velk {

class PublishedText {
 public:
  Text get() const;
  void set(Text value);

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const Text> value_;
};

// Tiles 1 to 12 (index 0 unused): caption on hover, address of a click.
extern std::array<Text, 13> TileTitle;
extern std::array<Text, 13> TileAddress;

extern Text SkinName;         // the home window's skin, read at start-up
extern Text BrowserSkinName;  // read when the browser window is created
extern Text VersionText;      // the vendor's version page
extern Text PickedTitle, PickedAddress;  // the last site picked for a tile
extern Text OfferedVersion;   // the update window's copy of the version text

// LinkRegex, SrcPattern, HrefPattern, TitlePattern: created empty at process
// start, compiled by the start-up sequence.
extern ScraperPatterns Patterns;

// 1 while a picked suggestion is written into the search box.
extern int SuggestionPicking;
extern int BarSuggestionPicking;

// Written by the news worker: where the two promotion slots lead.
extern PublishedText PromoLink1, PromoLink2;

// Written by the video worker: the focus pictures 1..3, the video tiles 6,
// 77, 8 and 9 (in that order in the arrays) and the quick links 1..13.
struct VideoPanelTexts {
  std::array<PublishedText, 4> FocusLink, FocusTitle;  // index 0 unused
  std::array<PublishedText, 4> VideoTileLink, VideoTileTitle;
  std::array<PublishedText, 14> QuickLink;  // index 0 unused
};
extern VideoPanelTexts VideoTexts;

// Releases every shared text and the compiled patterns (the exit routine).
void ExitCleanup();

}  // namespace velk
