#pragma once
// A real HTTP/1.1 server on 127.0.0.1 for tests: listens on a free port, runs
// on its own thread, answers each path with a scripted reply and records
// every request. Each connection carries one request ("Connection: close").
//
//   LoopbackHttpServer server;
//   server.on("/page", HttpReply::ok("<html>…</html>", "text/html"));
//   server.on("/old", HttpReply::redirect("/page"));
//   server.on("/cut", HttpReply::half_body(std::string(1000, 'x')));
//   server.on("/hang", HttpReply::never_answer());
//   download_url(server.url("/page"));
//   server.requests()[0].header("User-Agent");
//
// Unscripted paths get 404. The server stops and closes every connection,
// the never-answering ones included, when it is destroyed.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace velk::test {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpReply {
  enum class Mode {
    normal,           // status line, headers, Content-Length, body
    half_body,        // announces the whole body, sends half of it, closes
    never_answer,     // reads the request and never writes a byte
  };
  int status = 200;
  std::string reason = "OK";
  HttpHeaders headers;  // Content-Length and Connection are added
  std::string body;
  Mode mode = Mode::normal;

  static HttpReply ok(std::string body, std::string content_type = "text/html");
  static HttpReply with_status(int status, std::string body);
  static HttpReply redirect(std::string location, int status = 302);
  static HttpReply half_body(std::string full_body);
  static HttpReply never_answer();
};

struct RecordedRequest {
  std::string method;
  std::string target;  // as sent: path and query, escapes untouched
  std::string version;
  HttpHeaders headers;
  std::string body;

  // The path without the query.
  std::string path() const;
  // The first header of that name (any letter case); empty when absent.
  std::string header(std::string_view name) const;
  bool has_header(std::string_view name) const;
};

class LoopbackHttpServer {
 public:
  using Handler = std::function<HttpReply(const RecordedRequest&)>;

  LoopbackHttpServer();  // throws std::runtime_error when it cannot listen
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int port() const { return port_; }
  std::string base_url() const;                 // "http://127.0.0.1:<port>"
  std::string url(std::string_view path) const;  // base_url() + path

  // Scripts a reply. A request is matched on its whole target first, then on
  // its path without the query. A later call for the same path replaces it.
  void on(const std::string& path, HttpReply reply);
  void on(const std::string& path, Handler handler);

  std::vector<RecordedRequest> requests() const;
  std::size_t request_count(std::string_view path) const;  // by path()

 private:
  struct Connection;
  void serve();
  void handle_readable(Connection& connection);
  void start_reply(Connection& connection);
  HttpReply reply_for(const RecordedRequest& request);

  int listener_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Handler> handlers_;  // guarded by mutex_
  std::vector<RecordedRequest> requests_;    // guarded by mutex_
  std::thread thread_;
};

}  // namespace velk::test
