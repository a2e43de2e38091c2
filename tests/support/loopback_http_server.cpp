#include "tests/support/loopback_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace velk::test {
namespace {

constexpr std::size_t kMaxConnections = 64;
constexpr std::size_t kMaxRequestBytes = 1 << 20;
constexpr int kPollMilliseconds = 50;

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return std::string(s);
}

// Parses the head of a request (request line and headers, without the blank
// line). False when it is not HTTP.
bool parse_head(std::string_view head, RecordedRequest& request) {
  std::size_t line_end = head.find("\r\n");
  std::string_view line = head.substr(0, line_end);
  std::size_t first = line.find(' ');
  std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos) return false;
  request.method = std::string(line.substr(0, first));
  request.target = std::string(line.substr(first + 1, second - first - 1));
  request.version = std::string(line.substr(second + 1));
  while (line_end != std::string_view::npos) {
    head.remove_prefix(line_end + 2);
    line_end = head.find("\r\n");
    std::string_view header = head.substr(0, line_end);
    std::size_t colon = header.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(trim(header.substr(0, colon)), trim(header.substr(colon + 1)));
  }
  return true;
}

std::string serialise(const HttpReply& reply, std::size_t announced_length, std::string_view body) {
  std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
  for (const auto& [name, value] : reply.headers) out += name + ": " + value + "\r\n";
  out += "Content-Length: " + std::to_string(announced_length) + "\r\n";
  out += "Connection: close\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace

HttpReply HttpReply::ok(std::string body, std::string content_type) {
  HttpReply reply;
  reply.headers.emplace_back("Content-Type", std::move(content_type));
  reply.body = std::move(body);
  return reply;
}

HttpReply HttpReply::with_status(int status, std::string body) {
  HttpReply reply = ok(std::move(body));
  reply.status = status;
  reply.reason = status == 404 ? "Not Found" : status >= 500 ? "Server Error" : "Status";
  return reply;
}

HttpReply HttpReply::redirect(std::string location, int status) {
  HttpReply reply;
  reply.status = status;
  reply.reason = "Found";
  reply.headers.emplace_back("Location", std::move(location));
  return reply;
}

HttpReply HttpReply::half_body(std::string full_body) {
  HttpReply reply = ok(std::move(full_body));
  reply.mode = Mode::half_body;
  return reply;
}

HttpReply HttpReply::never_answer() {
  HttpReply reply;
  reply.mode = Mode::never_answer;
  return reply;
}

std::string RecordedRequest::path() const { return target.substr(0, target.find('?')); }

std::string RecordedRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (same_letters(key, name)) return value;
  }
  return std::string();
}

bool RecordedRequest::has_header(std::string_view name) const {
  for (const auto& entry : headers) {
    if (same_letters(entry.first, name)) return true;
  }
  return false;
}

struct LoopbackHttpServer::Connection {
  enum class State { reading, writing, holding };
  int fd = -1;
  State state = State::reading;
  std::string input;
  std::string output;
  std::size_t written = 0;
  bool done = false;  // to be closed
  ~Connection() {
    if (fd >= 0) ::close(fd);
  }
};

LoopbackHttpServer::LoopbackHttpServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener_ < 0) throw std::runtime_error("loopback server: no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // a free port
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 64) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener_);
    throw std::runtime_error("loopback server: cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    ::close(listener_);
    throw std::runtime_error("loopback server: no pipe");
  }
  wake_read_ = pipe_ends[0];
  wake_write_ = pipe_ends[1];
  thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  char byte = 0;
  [[maybe_unused]] ssize_t ignored = ::write(wake_write_, &byte, 1);
  thread_.join();
  ::close(listener_);
  ::close(wake_read_);
  ::close(wake_write_);
}

std::string LoopbackHttpServer::base_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string LoopbackHttpServer::url(std::string_view path) const { return base_url() + std::string(path); }

void LoopbackHttpServer::on(const std::string& path, HttpReply reply) {
  on(path, Handler([reply = std::move(reply)](const RecordedRequest&) { return reply; }));
}

void LoopbackHttpServer::on(const std::string& path, Handler handler) {
  std::lock_guard lock(mutex_);
  handlers_[path] = std::move(handler);
}

std::vector<RecordedRequest> LoopbackHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t LoopbackHttpServer::request_count(std::string_view path) const {
  std::lock_guard lock(mutex_);
  std::size_t count = 0;
  for (const RecordedRequest& request : requests_) count += request.path() == path;
  return count;
}

HttpReply LoopbackHttpServer::reply_for(const RecordedRequest& request) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    auto found = handlers_.find(request.target);
    if (found == handlers_.end()) found = handlers_.find(request.path());
    if (found != handlers_.end()) handler = found->second;
  }
  // Called outside the lock so that a handler may script the server.
  return handler ? handler(request) : HttpReply::with_status(404, "not found");
}

void LoopbackHttpServer::start_reply(Connection& connection) {
  const std::size_t head_end = connection.input.find("\r\n\r\n");
  RecordedRequest request;
  if (!parse_head(std::string_view(connection.input).substr(0, head_end), request)) {
    connection.done = true;
    return;
  }
  std::size_t body_length = 0;
  if (std::string length = request.header("Content-Length"); !length.empty()) {
    body_length = std::strtoul(length.c_str(), nullptr, 10);
  }
  if (body_length > kMaxRequestBytes) {
    connection.done = true;
    return;
  }
  if (connection.input.size() < head_end + 4 + body_length) return;  // body still coming
  request.body = connection.input.substr(head_end + 4, body_length);

  HttpReply reply = reply_for(request);
  switch (reply.mode) {
    case HttpReply::Mode::never_answer:
      connection.state = Connection::State::holding;
      return;
    case HttpReply::Mode::half_body:
      connection.output = serialise(reply, reply.body.size(), std::string_view(reply.body).substr(0, reply.body.size() / 2));
      break;
    case HttpReply::Mode::normal:
      connection.output = serialise(reply, reply.body.size(), reply.body);
      break;
  }
  connection.state = Connection::State::writing;
}

void LoopbackHttpServer::handle_readable(Connection& connection) {
  char buffer[16384];
  ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
  if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
    connection.done = true;
    return;
  }
  if (got < 0 || connection.state != Connection::State::reading) return;
  connection.input.append(buffer, static_cast<std::size_t>(got));
  if (connection.input.size() > kMaxRequestBytes) {
    connection.done = true;
  } else if (connection.input.find("\r\n\r\n") != std::string::npos) {
    start_reply(connection);
  }
}

void LoopbackHttpServer::serve() {
  std::vector<std::unique_ptr<Connection>> connections;
  while (!stopping_) {
    std::vector<pollfd> polled;
    polled.push_back({wake_read_, POLLIN, 0});
    polled.push_back({listener_, POLLIN, 0});
    for (const auto& connection : connections) {
      short events = connection->state == Connection::State::writing ? POLLOUT : POLLIN;
      polled.push_back({connection->fd, events, 0});
    }
    if (::poll(polled.data(), polled.size(), kPollMilliseconds) < 0 && errno != EINTR) break;
    if (polled[0].revents != 0) break;  // woken to stop

    for (std::size_t i = 0; i < connections.size(); ++i) {
      Connection& connection = *connections[i];
      short revents = polled[i + 2].revents;
      if (revents == 0) continue;
      if (connection.state == Connection::State::writing) {
        ssize_t sent = ::send(connection.fd, connection.output.data() + connection.written,
                              connection.output.size() - connection.written, MSG_NOSIGNAL);
        if (sent > 0) connection.written += static_cast<std::size_t>(sent);
        if ((sent < 0 && errno != EAGAIN && errno != EINTR) || connection.written == connection.output.size()) {
          connection.done = true;
        }
      } else if (revents & (POLLIN | POLLHUP | POLLERR)) {
        handle_readable(connection);
      }
    }
    std::erase_if(connections, [](const auto& connection) { return connection->done; });

    if (polled[1].revents & POLLIN) {
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) {
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        if (connections.size() < kMaxConnections) connections.push_back(std::move(connection));
      }
    }
  }
}

}  // namespace velk::test
