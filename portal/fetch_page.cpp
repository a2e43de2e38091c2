#include "portal/fetch_page.h"

namespace velk {

Text FetchPage(const Text& url, const HttpLimits& limits) {
  HttpRequest request;
  request.url = url;
  request.user_agent = "text";
  request.no_cache = true;
  request.limits = limits;
  HttpResponse response = http_get(request);
  if (!response.connected) return {};
  return bytes_to_text(response.body);
}

}  // namespace velk
