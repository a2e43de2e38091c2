#pragma once
// A loopback HTTP server that answers every request on a thread of its own,
// so that a reply held back for one request never holds back another (the
// shared loopback server answers one request after the other). Each reply
// may carry a delay. Header-only: the search benchmark uses it too.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace velk::test {

struct SlowReply {
  int delay_ms = 0;
  int status = 200;
  std::string body;
};

class SlowHttpServer {
 public:
  // Gets the request target (path and query as sent).
  using Handler = std::function<SlowReply(const std::string& target)>;

  explicit SlowHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 128) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("cannot listen on loopback");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] {
      name_this_thread();
      accept_loop();
    });
  }

  ~SlowHttpServer() {
    stopping_ = true;
    acceptor_.join();
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return busy_ == 0; });
    ::close(listener_);
  }

  std::string base_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  std::vector<std::string> targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
  }

 // The name of the server's threads, so that a count of the process's
  // threads can leave them out.
  static constexpr const char* kThreadName = "loopback-srv";

 private:
  static void name_this_thread() { pthread_setname_np(pthread_self(), kThreadName); }

  void accept_loop() {
    while (!stopping_) {
      pollfd polled{listener_, POLLIN, 0};
      if (::poll(&polled, 1, 20) <= 0) continue;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      {
        std::lock_guard lock(mutex_);
        ++busy_;
      }
      std::thread([this, fd] {
        name_this_thread();
        answer(fd);
        ::close(fd);
        std::lock_guard lock(mutex_);
        --busy_;
        idle_.notify_all();
      }).detach();
    }
  }

  void answer(int fd) {
    std::string input;
    char buffer[4096];
    while (input.find("\r\n\r\n") == std::string::npos && input.size() < 65536) {
      ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) return;
      input.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t first_blank = input.find(' ');
    const std::size_t second_blank = input.find(' ', first_blank + 1);
    if (first_blank == std::string::npos || second_blank == std::string::npos) return;
    const std::string target = input.substr(first_blank + 1, second_blank - first_blank - 1);
    {
      std::lock_guard lock(mutex_);
      targets_.push_back(target);
    }
    const SlowReply reply = handler_(target);
    for (int waited = 0; waited < reply.delay_ms && !stopping_; waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " X\r\nContent-Length: " +
                            std::to_string(reply.body.size()) +
                            "\r\nContent-Type: text/javascript\r\nConnection: close\r\n\r\n" +
                            reply.body;
    for (std::size_t sent = 0; sent < out.size();) {
      ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  int busy_ = 0;
  std::vector<std::string> targets_;
};

// The query of a suggestion request, decoded from its escapes: the text
// between "wd=" and the next "&".
// Threads of this process, those of the servers above left out.
inline int threads_alive_besides_servers() {
  int count = 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name != SlowHttpServer::kThreadName) ++count;
  }
  return count;
}

inline std::string decoded_query(const std::string& target) {
  const std::size_t from = target.find("wd=");
  if (from == std::string::npos) return {};
  const std::string escaped = target.substr(from + 3, target.find('&', from) - from - 3);
  std::string query;
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '%' && i + 2 < escaped.size()) {
      query += static_cast<char>(std::stoi(escaped.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      query += escaped[i];
    }
  }
  return query;
}

// A suggestion reply in the service's shape.
inline std::string suggestion_reply(const std::vector<std::string>& items) {
  std::string list;
  for (std::size_t i = 0; i < items.size(); ++i) list += (i ? ",\"" : "\"") + items[i] + "\"";
  return "window.baidu.sug({q:\"x\",p:false,s:[" + list + "]});";
}

}  // namespace velk::test
