#pragma once
// HTTP GET on libcurl, safe to call from any thread.
#include <cstddef>
#include <mutex>
#include <string>

#include "platform/text.h"

namespace velk {

struct HttpLimits {
  long connect_timeout_ms = 5000;
  long total_timeout_ms = 20000;
  std::size_t max_body_bytes = 16 << 20;
  long max_redirects = 10;
};

// Downloads that block the GUI thread must not freeze the window for long.
inline constexpr HttpLimits kGuiThreadLimits{2000, 4000, 4 << 20, 5};

// Ends a transfer in flight from any thread, at once (not at the transfer's
// next time-out): the request that holds it stops and reports "cancelled".
// A transfer started after cancel() stops before it connects.
class HttpCancel {
 public:
  void cancel();
  bool cancelled() const;

  // ---- used by http_get ----
  // The running transfer's wake-up; false when already cancelled.
  bool attach(void* multi);
  void detach();

 private:
  mutable std::mutex mutex_;
  bool cancelled_ = false;
  void* multi_ = nullptr;
};

struct HttpRequest {
  Text url;                // GBK; high bytes and blanks are percent-escaped
  std::string user_agent;  // empty: no User-Agent header
  bool no_cache = false;   // sends Cache-Control: no-cache and Pragma: no-cache
  HttpLimits limits;
  HttpCancel* cancel = nullptr;  // none: runs until done or timed out
};

struct HttpResponse {
  bool connected = false;  // a response (status line) arrived
  long status = 0;         // of the last response, after redirects
  Bytes body;              // as far as it arrived (at most max_body_bytes)
  bool complete = false;   // the transfer ended without error
  std::string error;       // why it did not complete (ASCII)
};

// Only http and https addresses are fetched, redirects included.
HttpResponse http_get(const HttpRequest& request);

// The whole body of a 2xx reply; empty when anything fails (no connection,
// another status, a body cut short or over the cap, a time-out).
Bytes download_url(const Text& url, const HttpLimits& limits = HttpLimits{}, HttpCancel* cancel = nullptr);

// The URL as sent: bytes of 0x80 and above, spaces and tabs percent-escaped.
std::string escape_url(const Text& url);

// Initialises libcurl; http_get calls it too. Call it early in main, before
// other threads start, if other code of the process uses libcurl directly.
void init_http();

}  // namespace velk
