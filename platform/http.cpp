#include "platform/http.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace velk {
namespace {

struct Transfer {
  Bytes body;
  std::size_t max_body_bytes = 0;
  bool over_cap = false;
};

// The cap is enforced here, the same way for announced and chunked sizes: the
// body is kept up to the cap and the transfer ends there.
std::size_t write_body_cb(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::size_t bytes = size * count;
  std::size_t room = transfer->max_body_bytes - transfer->body.size();
  if (bytes > room) {
    transfer->body.append(data, room);
    transfer->over_cap = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  transfer->body.append(data, bytes);
  return bytes;
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// Runs one transfer on a multi handle, so that HttpCancel can wake it.
CURLcode perform(CURL* easy, HttpCancel* cancel) {
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
  if (cancel && !cancel->attach(multi.get())) {
    curl_multi_remove_handle(multi.get(), easy);
    return CURLE_ABORTED_BY_CALLBACK;
  }
  CURLcode result = CURLE_OK;
  for (bool done = false; !done;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      result = CURLE_RECV_ERROR;
      break;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
      if (message->msg == CURLMSG_DONE) {
        result = message->data.result;
        done = true;
      }
    }
    if (done) break;
    if (cancel && cancel->cancelled()) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);  // also ends on a wake-up
  }
  if (cancel) cancel->detach();
  curl_multi_remove_handle(multi.get(), easy);
  return result;
}

}  // namespace

void HttpCancel::cancel() {
  std::lock_guard lock(mutex_);
  cancelled_ = true;
  if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

bool HttpCancel::cancelled() const {
  std::lock_guard lock(mutex_);
  return cancelled_;
}

bool HttpCancel::attach(void* multi) {
  std::lock_guard lock(mutex_);
  if (cancelled_) return false;
  multi_ = multi;
  return true;
}

void HttpCancel::detach() {
  std::lock_guard lock(mutex_);
  multi_ = nullptr;
}

void init_http() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string escape_url(const Text& url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(url.size());
  for (unsigned char c : url) {
    if (c >= 0x80 || c == ' ' || c == '\t') {
      escaped.push_back('%');
      escaped.push_back(kHex[c >> 4]);
      escaped.push_back(kHex[c & 0x0F]);
    } else {
      escaped.push_back(static_cast<char>(c));
    }
  }
  return escaped;
}

HttpResponse http_get(const HttpRequest& request) {
  init_http();
  HttpResponse response;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) {
    response.error = "cannot create a transfer";
    return response;
  }
  Transfer transfer;
  transfer.max_body_bytes = request.limits.max_body_bytes;

  std::unique_ptr<curl_slist, ListDeleter> headers;
  if (request.no_cache) {
    curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
    if (list) {
      headers.reset(list);
      if (curl_slist_append(list, "Pragma: no-cache") == nullptr) headers.reset();
    }
    if (!headers) {
      response.error = "out of memory";
      return response;
    }
  }

  const std::string url = escape_url(request.url);
  CURL* h = easy.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, request.limits.max_redirects);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, request.limits.connect_timeout_ms);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, request.limits.total_timeout_ms);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, write_body_cb);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  if (!request.user_agent.empty()) curl_easy_setopt(h, CURLOPT_USERAGENT, request.user_agent.c_str());
  if (headers) curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

  CURLcode result = perform(h, request.cancel);
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  response.status = status;
  response.connected = status != 0;
  response.complete = result == CURLE_OK;
  response.body = std::move(transfer.body);
  if (transfer.over_cap || result == CURLE_FILESIZE_EXCEEDED) {
    response.complete = false;
    response.error = "body over the size cap";
  } else if (result == CURLE_ABORTED_BY_CALLBACK) {
    response.error = "cancelled";
  } else if (result != CURLE_OK) {
    response.error = curl_easy_strerror(result);
  }
  return response;
}

Bytes download_url(const Text& url, const HttpLimits& limits, HttpCancel* cancel) {
  HttpRequest request;
  request.url = url;
  request.limits = limits;
  request.cancel = cancel;
  HttpResponse response = http_get(request);
  if (!response.complete || response.status < 200 || response.status > 299) return Bytes();
  return std::move(response.body);
}

}  // namespace velk
