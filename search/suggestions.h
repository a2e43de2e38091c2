#pragma once
// Live suggestions under a search box: each accepted text change starts one
// worker that asks the suggestion service for completions of the box's text
// and fills the list; the arrow keys walk the list, Enter and a click search.
#include <vector>

#include "platform/http.h"
#include "platform/text.h"
#include "search/engines.h"
#include "toolkit/worker.h"

namespace velk {

// Every byte of the text's UTF-8 form as "%XX" (upper-case hex), letters and
// digits included: "abc" -> "%61%62%63". Empty for empty text.
Text PercentEncodeUtf8(const Text& gbk);

// The stretch between the first `start` marker and the next `end` marker
// after it, or empty text when either is missing. Markers are found ignoring
// the case of A-Z and only where a GBK character begins; "#引号" in a marker
// stands for a double quote.
Text TextBetween(const Text& text, const Text& start, const Text& end);

// The request for the completions of `query` (GBK).
Text SuggestionRequestUrl(const Text& query);

// The suggestions in a reply: the stretch between s:[" and "]}) split at
// every "," ; empty when the reply holds none.
std::vector<Text> SuggestionsInReply(const Text& reply);

// Splits at every "," : each part before a separator is an item, even an
// empty one; the part after the last is an item only when not empty.
std::vector<Text> SplitSuggestions(const Text& stretch);

// The suggestion download: bounded, so that workers started by fast typing
// end within seconds even when the service does not answer.
inline constexpr HttpLimits kSuggestionLimits{3000, 5000, 256 << 10, 3};

// The worker for the box of `window`: reads the box's text on the GUI
// thread, downloads and cuts the reply here, and applies it on the GUI thread
// in one piece. A reply for a text the box no longer holds is dropped, and a
// newer fetch for the box cancels this one through `cancel` (its reply would
// be dropped anyway), so fast typing leaves no pile of waiting workers.
void FetchSuggestions(const SearchBox& box, tk::WindowId window, tk::Worker& worker, HttpCancel& cancel);

// Handlers of a search box with suggestions, for the box's window to bind.
void OnSearchTextChanged(const SearchBox& box, tk::Form& window);
void OnSearchKeyPressed(const SearchBox& box, tk::Form& window, int virtual_key);
void OnSuggestionPicked(const SearchBox& box, tk::Form& window);

}  // namespace velk
