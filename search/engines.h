#pragma once
// The three search engines, their query addresses and logos, and the search
// of one search box. A window's engine is the logo in its engine picture box:
// there is no engine variable, the picture is read back and compared.
#include <optional>
#include <string_view>

#include "platform/text.h"
#include "toolkit/app.h"

namespace velk {

enum class Engine { Baidu, Sogou, Taobao };

// One logo per engine, compared byte for byte with a picture box's picture.
struct EngineLogos {
  std::string_view baidu, sogou, taobao;
  std::string_view of(Engine engine) const;
};
// 26x26: the home window and the browser window.
const EngineLogos& SmallEngineLogos();
// 80x30: the floating search bar.
const EngineLogos& WideEngineLogos();

// The fixed text between an engine's host and the query.
std::string_view QueryPath(Engine engine);
// The engine's endpoint, its fixed text and the query exactly as given:
// nothing escaped, nothing trimmed.
Text QueryUrl(Engine engine, const Text& query);

// The engine whose logo `picture` is (same length, same bytes), tried in the
// order Baidu, Sogou, Taobao; none for any other picture, the empty one too.
std::optional<Engine> EngineFromPicture(std::string_view picture, const EngineLogos& logos);

// A query that counts as empty.
inline constexpr const char* kQueryPrompt = "你想知道什么？";
// What a search of the home window leaves in its hint label.
inline constexpr const char* kHomeSearchDoneHint = "探索·发现·世界    输入点什么吧！";

// Everything the search and the suggestions need to know about one window's
// search box: its controls, its logo set, its mute flag, its hint and where
// results open. Each window with a search box has one, for the whole run;
// the window hands it over together with itself.
struct SearchBox {
  const char* query;           // the edit box
  const char* engine_picture;  // the picture box holding the engine's logo
  const EngineLogos& (*logos)();
  // Where results open: shows the results window without loading anything,
  // and opens an address in it.
  void (*show_results)();
  void (*open_results)(const Text& url);
  // Run before the search reads the box (the home window folds its popups).
  void (*before_search)(tk::Form& window) = nullptr;
  // The hint label over the box, its text while the box is empty, and what
  // every search writes into it (none on the browser window).
  const char* hint_label = nullptr;
  const char* empty_hint = nullptr;
  const char* search_done_hint = nullptr;
  // Suggestions (none on the browser window).
  int* picking = nullptr;      // 1 while the program itself writes the box
  int hint_parked_left = 0;    // the hint's left while the box holds text
  const char* frame = nullptr;  // the picture box framing the list
  const char* list = nullptr;   // the suggestion list box
  int full_frame_height = 0;    // heights for 10 suggestions or more
  int full_list_height = 0;
};

// The search of one box of `window`: opens the results window on the
// engine's query URL for the box's text. An empty text or the prompt opens
// nothing; a picture that names no engine shows the results window without
// loading a page.
void RunSearch(const SearchBox& box, tk::Form& window);

}  // namespace velk
