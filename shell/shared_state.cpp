#include "shell/shared_state.h"

#include <utility>

namespace velk {

Text PublishedText::get() const {
  std::shared_ptr<const Text> v;
  {
    std::lock_guard lock(mutex_);
    v = value_;
  }
  return v ? *v : Text();
}

void PublishedText::set(Text value) {
  auto fresh = std::make_shared<const Text>(std::move(value));
  std::shared_ptr<const Text> old;
  {
    std::lock_guard lock(mutex_);
    old = std::exchange(value_, std::move(fresh));
  }
  // `old` is released here, outside the lock.
}

std::array<Text, 13> TileTitle;
std::array<Text, 13> TileAddress;
Text SkinName, BrowserSkinName, VersionText, PickedTitle, PickedAddress, OfferedVersion;
ScraperPatterns Patterns;
int SuggestionPicking = 0;
int BarSuggestionPicking = 0;
PublishedText PromoLink1, PromoLink2;
VideoPanelTexts VideoTexts;

void ExitCleanup() {
  for (auto* texts : {&TileTitle, &TileAddress})
    for (Text& t : *texts) Text().swap(t);
  for (Text* t : {&SkinName, &BrowserSkinName, &VersionText, &PickedTitle, &PickedAddress,
                  &OfferedVersion})
    Text().swap(*t);
  PromoLink1.set(Text());
  PromoLink2.set(Text());
  for (auto* group : {&VideoTexts.FocusLink, &VideoTexts.FocusTitle, &VideoTexts.VideoTileLink,
                      &VideoTexts.VideoTileTitle})
    for (PublishedText& t : *group) t.set(Text());
  for (PublishedText& t : VideoTexts.QuickLink) t.set(Text());
  ReleaseScraperPatterns(Patterns);
  SuggestionPicking = BarSuggestionPicking = 0;
}

}  // namespace velk
