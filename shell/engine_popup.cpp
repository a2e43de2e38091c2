#include "shell/engine_popup.h"

#include "art/main_window.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

void AddEnginePopupContents(FormDef& def) {
  const Pointer Hand = Pointer::Hand;
  for (ControlSpec row : {
           ControlSpec{"百度", Kind::PictureButton, 1, 12, 48, 25, "引擎", Hand},
           ControlSpec{"搜狗", Kind::PictureButton, 1, 39, 48, 25, "引擎", Hand},
           ControlSpec{"淘宝", Kind::PictureButton, 1, 66, 48, 25, "引擎", Hand},
           ControlSpec{"收回", Kind::PictureButton, 1, 86, 48, 20, "引擎", Hand},
       })
    def.controls.push_back(std::move(row));
  for (DesignLook look : {
           DesignLook{"引擎", art_mw::engine_popup},
           DesignLook{"百度", art_mw::engine_pick_baidu_normal, art_mw::engine_pick_baidu_hover},
           DesignLook{"搜狗", art_mw::engine_pick_sogou_normal, art_mw::engine_pick_sogou_hover},
           DesignLook{"淘宝", art_mw::engine_pick_taobao_normal, art_mw::engine_pick_taobao_hover},
           DesignLook{"收回", art_mw::engine_collapse_normal, art_mw::engine_collapse_hover},
       })
    def.looks.push_back(std::move(look));
}

}  // namespace velk
