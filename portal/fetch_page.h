#pragma once
// Downloading a page as text for the scrapers (worker threads only).
#include "platform/http.h"
#include "platform/text.h"

namespace velk {

// The body of `url` as text, whatever the HTTP status: fetched fresh (no
// cache), redirects followed, the environment's proxy settings, agent
// "text". A body cut short (failing connection, time-out, size cap) is
// returned as far as it arrived; the text ends at the first zero byte.
// Empty when no request could be made.
Text FetchPage(const Text& url, const HttpLimits& limits = HttpLimits{});

}  // namespace velk
