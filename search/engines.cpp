#include "search/engines.h"

#include "art/main_window.h"
#include "platform/endpoints.h"

namespace velk {

namespace art_mw = art::main_window;

std::string_view EngineLogos::of(Engine engine) const {
  switch (engine) {
    case Engine::Baidu: return baidu;
    case Engine::Sogou: return sogou;
    case Engine::Taobao: return taobao;
  }
  return {};
}

const EngineLogos& SmallEngineLogos() {
  static const EngineLogos logos{art_mw::engine_baidu_small, art_mw::engine_sogou_small,
                                 art_mw::engine_taobao_small};
  return logos;
}

const EngineLogos& WideEngineLogos() {
  static const EngineLogos logos{art_mw::engine_baidu_wide, art_mw::engine_sogou_wide,
                                 art_mw::engine_taobao_wide};
  return logos;
}

namespace {

const char* endpoint_key(Engine engine) {
  switch (engine) {
    case Engine::Baidu: return "baidu";
    case Engine::Sogou: return "sogou";
    case Engine::Taobao: return "taobao";
  }
  return "";
}

}  // namespace

std::string_view QueryPath(Engine engine) {
  switch (engine) {
    case Engine::Baidu: return "/s?wd=";
    case Engine::Sogou: return "/sogou?query=";
    case Engine::Taobao:
      // "%253A" is sent as it stands: the engine expects the doubled escape.
      return "/search?&stats_click=search_radio_all%253A1&js=1&initiative_id=staobaoz_20140824&q=";
  }
  return {};
}

Text QueryUrl(Engine engine, const Text& query) {
  Text url = endpoint(endpoint_key(engine));
  url += QueryPath(engine);
  url += query;
  return url;
}

std::optional<Engine> EngineFromPicture(std::string_view picture, const EngineLogos& logos) {
  for (Engine engine : {Engine::Baidu, Engine::Sogou, Engine::Taobao}) {
    if (picture == logos.of(engine)) return engine;
  }
  return std::nullopt;
}

void RunSearch(const SearchBox& box, tk::Form& window) {
  if (box.before_search) box.before_search(window);
  const Text query = window[box.query].text();
  if (!query.empty() && query != kQueryPrompt) {
    box.show_results();
    const std::optional<Engine> engine = EngineFromPicture(window[box.engine_picture].picture(), box.logos());
    if (engine) box.open_results(QueryUrl(*engine, query));
  }
  // Seen only while the box is empty: otherwise the hint is parked.
  if (box.hint_label && box.search_done_hint) window[box.hint_label].set_caption(box.search_done_hint);
}

}  // namespace velk
