#pragma once
// The engine popup `引擎` is the same in every window that has a search box:
// a 50x107 picture box holding the three engine choices and the collapse
// button at fixed places. Each window's search row places the popup itself
// and says what a choice and the collapse do there.
#include "search/engines.h"

namespace velk {

struct EnginePopupActions {
  void (*choose)(tk::Form& window, Engine engine);  // 百度, 搜狗, 淘宝 clicked
  void (*collapse)(tk::Form& window);               // 收回 clicked
};

// The four buttons inside `引擎`, their pictures and the popup's own, and
// their clicks bound to `actions`.
tk::FormPart EnginePopupPart(const EnginePopupActions& actions);

}  // namespace velk
