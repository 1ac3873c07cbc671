// A loopback agent that keeps the request line exactly as the bytes came,
// with nothing parsed or decoded, and answers "ok".
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>

namespace quorvale {

class RawAgent {
 public:
  RawAgent() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(fd_, 8) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawAgent() {
    ::shutdown(fd_, SHUT_RDWR);  // wakes accept
    thread_.join();
    ::close(fd_);
  }
  RawAgent(const RawAgent&) = delete;
  RawAgent& operator=(const RawAgent&) = delete;

  int Port() const { return port_; }
  // The first line of the last request, without its CR LF.
  std::string RequestLine() {
    std::lock_guard lock(mutex_);
    return line_;
  }

 private:
  void Serve() {
    for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0; ::close(client)) {
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      {
        std::lock_guard lock(mutex_);
        line_ = request.substr(0, request.find("\r\n"));
      }
      static constexpr char kReply[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
      ::send(client, kReply, sizeof kReply - 1, MSG_NOSIGNAL);
    }
  }

  int fd_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::string line_;
  std::thread thread_;
};

}  // namespace quorvale
