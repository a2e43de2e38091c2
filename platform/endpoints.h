#pragma once
// Base addresses of the outside hosts (vendor, search engines, suggestions,
// news, video, mail). Each has a compiled-in default; the environment
// variable VELK_ENDPOINTS may name an INI file (GBK, section "endpoints")
// whose keys replace them. A file that cannot be read, names an unknown key
// or gives an empty value is reported once on standard error and all the
// defaults stay.
#include <string_view>

#include "platform/text.h"

namespace velk {

// Scheme, host and optional port, no trailing slash, e.g.
// "http://127.0.0.1:8081". Empty text for an unknown key. Keys: vendor,
// baidu, sogou, taobao, suggest, guokr, huanqiu, huanqiu_finance,
// baidu_news, video, smtp. The override file is read once, on first use.
Text endpoint(std::string_view key);

// Reads VELK_ENDPOINTS and its file again on the next endpoint() call.
void reload_endpoints_for_tests();

}  // namespace velk
