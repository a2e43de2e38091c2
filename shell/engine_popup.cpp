#include "shell/engine_popup.h"

#include "art/main_window.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

FormPart EnginePopupPart(const EnginePopupActions& actions) {
  const Pointer Hand = Pointer::Hand;
  auto choose = [&actions](Engine engine) -> Handler {
    return [choose = actions.choose, engine](EventArgs& e) { choose(e.form, engine); };
  };
  return {
      "engine popup",
      {
          {"百度", Kind::PictureButton, 1, 12, 48, 25, "引擎", Hand},
          {"搜狗", Kind::PictureButton, 1, 39, 48, 25, "引擎", Hand},
          {"淘宝", Kind::PictureButton, 1, 66, 48, 25, "引擎", Hand},
          {"收回", Kind::PictureButton, 1, 86, 48, 20, "引擎", Hand},
      },
      {
          {"引擎", art_mw::engine_popup},
          {"百度", art_mw::engine_pick_baidu_normal, art_mw::engine_pick_baidu_hover},
          {"搜狗", art_mw::engine_pick_sogou_normal, art_mw::engine_pick_sogou_hover},
          {"淘宝", art_mw::engine_pick_taobao_normal, art_mw::engine_pick_taobao_hover},
          {"收回", art_mw::engine_collapse_normal, art_mw::engine_collapse_hover},
      },
      {
          {"百度", Event::Clicked, choose(Engine::Baidu)},
          {"搜狗", Event::Clicked, choose(Engine::Sogou)},
          {"淘宝", Event::Clicked, choose(Engine::Taobao)},
          {"收回", Event::Clicked, [collapse = actions.collapse](EventArgs& e) { collapse(e.form); }},
      },
  };
}

}  // namespace velk
