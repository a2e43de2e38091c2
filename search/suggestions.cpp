#include "search/suggestions.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>

#include "platform/codepage.h"
#include "platform/endpoints.h"
#include "portal/gbk_find.h"

namespace velk {

using namespace tk;

namespace {

constexpr std::string_view kRequestTail =
    "&p=3&sid=1431_4261_4894_4759_4882_4677&cb=jQuery1102035240670733542295_1389250433500"
    "&_=1389250433504";
constexpr const char* kStartMarker = "s:[\"";
constexpr const char* kEndMarker = "\"]})";
constexpr std::string_view kSeparator = "\",\"";

Text replace_quote_token(std::string_view marker) {
  constexpr std::string_view token = "#引号";
  Text replaced;
  std::size_t from = 0;
  for (std::size_t at = marker.find(token); at != std::string_view::npos; at = marker.find(token, from)) {
    replaced.append(marker.substr(from, at - from)).push_back('"');
    from = at + token.size();
  }
  replaced.append(marker.substr(from));
  return replaced;
}

// Applies one reply on the GUI thread, as one piece.
void apply_reply(const SearchBox& box, Form& w, const Text& asked, std::vector<Text> items) {
  // A slow answer for an older text must not replace the list for the text
  // the user typed last.
  if (w[box.query].text() != asked) return;
  Control& frame = w[box.frame];
  Control& list = w[box.list];
  if (items.empty()) {
    frame.set_visible(false);
    list.set_visible(false);
    return;
  }
  frame.set_visible(true);
  list.set_visible(true);
  const int count = static_cast<int>(items.size());
  if (count >= 10) {
    frame.set_height(box.full_frame_height);
    list.set_height(box.full_list_height);
  } else {
    list.set_height(23 * count);
  }
  list.set_items(std::move(items));  // one update, however many
}

}  // namespace

Text PercentEncodeUtf8(const Text& gbk) {
  const std::string utf8 = gbk_to_utf8(gbk);
  Text encoded;
  encoded.reserve(utf8.size() * 3);
  for (unsigned char byte : utf8) {
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", byte);
    encoded += escape;
  }
  return encoded;
}

Text TextBetween(const Text& text, const Text& start, const Text& end) {
  const Text start_marker = replace_quote_token(start);
  const Text end_marker = replace_quote_token(end);
  const std::size_t at = FindGbk(text, start_marker, 0, true);
  if (at == kNotFound) return {};
  const std::size_t from = at + start_marker.size();
  const std::size_t until = FindGbk(text, end_marker, from, true);
  if (until == kNotFound) return {};
  return text.substr(from, until - from);
}

Text SuggestionRequestUrl(const Text& query) {
  Text url = endpoint("suggest");
  url += "/su?wd=";
  url += PercentEncodeUtf8(query);
  url += kRequestTail;
  return url;
}

std::vector<Text> SplitSuggestions(const Text& stretch) {
  std::vector<Text> items;
  std::size_t from = 0;
  for (std::size_t at = FindGbk(stretch, kSeparator, 0, false); at != kNotFound;
       at = FindGbk(stretch, kSeparator, from, false)) {
    items.push_back(stretch.substr(from, at - from));
    from = at + kSeparator.size();
  }
  if (from < stretch.size()) items.push_back(stretch.substr(from));
  return items;
}

std::vector<Text> SuggestionsInReply(const Text& reply) {
  const Text stretch = TextBetween(reply, kStartMarker, kEndMarker);
  if (stretch.empty()) return {};
  return SplitSuggestions(stretch);
}

void FetchSuggestions(const SearchBox& box, WindowId window, Worker& worker, HttpCancel& cancel) {
  const std::optional<Text> query = worker.call(window, [&box](Form& w) { return w[box.query].text(); });
  if (!query || cancel.cancelled()) return;
  const Text reply = bytes_to_text(download_url(SuggestionRequestUrl(*query), kSuggestionLimits, &cancel));
  if (cancel.cancelled()) return;
  worker.update(window, [&box, asked = *query, items = SuggestionsInReply(reply)](Form& w) mutable {
    apply_reply(box, w, asked, std::move(items));
  });
}

void OnSearchTextChanged(const SearchBox& box, Form& w) {
  if (*box.picking == 1) return;
  // One fetch a change; the one in flight for this box is no longer wanted.
  static std::map<const SearchBox*, std::shared_ptr<HttpCancel>> in_flight;  // GUI thread only
  std::shared_ptr<HttpCancel>& latest = in_flight[&box];
  if (latest) latest->cancel();
  latest = std::make_shared<HttpCancel>();
  app().start_worker([&box, window = w.id(), cancel = latest](Worker& worker) {
    FetchSuggestions(box, window, worker, *cancel);
  });
  Control& query = w[box.query];
  Control& hint = w[box.hint_label];
  if (query.text().empty()) {
    hint.set_left(query.left() + 5);
    hint.set_caption(box.empty_hint);
  } else {
    hint.set_left(box.hint_parked_left);
  }
}

void OnSearchKeyPressed(const SearchBox& box, Form& w, int virtual_key) {
  if (virtual_key == key::kEnter) {
    *box.picking = 1;
    w[box.frame].set_visible(false);
    RunSearch(box, w);
    *box.picking = 0;
  } else if (virtual_key == key::kDown || virtual_key == key::kUp) {
    *box.picking = 1;
    Control& list = w[box.list];
    list.select(list.selection() + (virtual_key == key::kDown ? 1 : -1));
    w[box.query].set_text(list.item_text(list.selection()));
    *box.picking = 0;
  }
}

void OnSuggestionPicked(const SearchBox& box, Form& w) {
  *box.picking = 1;
  Control& list = w[box.list];
  w[box.query].set_text(list.item_text(list.selection()));
  w[box.frame].set_visible(false);
  list.set_visible(false);
  RunSearch(box, w);
  *box.picking = 0;
}

}  // namespace velk
