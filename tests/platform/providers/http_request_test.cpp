#include "quorvale/providers/http_request.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#include <vector>

#include "loopback_agent.h"
#include "quorvale/core/err.h"

namespace quorvale {
namespace {

Variant Fetch(const std::string& url) {
  HttpRequest req;
  req.Open("GET", url, false);
  req.Send();
  return req.ReadyState() == 4 ? req.ResponseBody() : Variant();
}

TEST(HttpRequest, BodyOfAnyStatusComesBack) {
  LoopbackAgent agent;
  struct Case {
    int status;
    std::string body;
  } cases[] = {{200, "\xD6\xD0OK"}, {404, "not here"}, {500, "boom"}, {200, ""}};
  for (const auto& c : cases) {
    agent.status_ = c.status;
    agent.body_ = c.body;
    Variant got = Fetch(agent.Url("/GetState?ServerPassWord=pw&SiteNum=12"));
    ASSERT_NE(got.AsBytes(), nullptr) << c.status;
    EXPECT_EQ(std::string(got.AsBytes()->begin(), got.AsBytes()->end()), c.body);
  }
  EXPECT_EQ(agent.target_, "/GetState?ServerPassWord=pw&SiteNum=12");
  EXPECT_EQ(agent.headers_.count("Accept"), 0u);
  EXPECT_EQ(agent.headers_.count("User-Agent"), 0u);
}

TEST(HttpRequest, IncompleteRequestsGiveEmpty) {
  int closed_port;
  {
    LoopbackAgent gone;
    closed_port = gone.port_;
  }
  const std::string urls[] = {
      "http://127.0.0.1:" + std::to_string(closed_port) + "/Hello?ServerPassWord=",
      "",
      "http://:80/Hello",
      "ftp://127.0.0.1/x",
  };
  for (const auto& url : urls) {
    HttpRequest req;
    req.Open("GET", url, false);
    req.Send();
    EXPECT_NE(req.ReadyState(), 4) << url;
    EXPECT_TRUE(req.ResponseBody().IsEmpty()) << url;
  }
}

// A loopback server that keeps each request's exact bytes with the number of
// the connection it came on, answers with keep-alive and keeps the
// connection open until the client closes it (or a second's silence).
class RawAgent {
 public:
  RawAgent() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), len);
    ::listen(listener_, 8);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawAgent() {
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  // (connection number, request bytes), in order of arrival.
  std::vector<std::pair<int, std::string>> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  int port_ = 0;

 private:
  static bool Readable(int fd, int timeout_ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeout_ms) == 1;
  }
  void Serve() {
    for (int connection = 0;; ++connection) {
      if (!Readable(listener_, -1)) return;
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      std::string request;
      char buffer[4096];
      while (Readable(fd, 5000)) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
        if (request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0) {
          std::lock_guard lock(mutex_);
          requests_.emplace_back(connection, request);
          request.clear();
          const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
          if (::write(fd, reply.data(), reply.size()) < 0) break;
        }
      }
      ::close(fd);
    }
  }
  int listener_;
  std::mutex mutex_;
  std::vector<std::pair<int, std::string>> requests_;
  std::thread thread_;
};

// The request handle a thread keeps between requests changes nothing on the
// wire: each request goes byte for byte the same, on a connection of its own,
// whether it follows a success, a failure, or comes from another thread.
TEST(HttpRequest, EachRequestGoesAloneAndTheSame) {
  int closed_port;
  {
    LoopbackAgent gone;
    closed_port = gone.port_;
  }
  RawAgent agent;
  const std::string host = "Host: 127.0.0.1:" + std::to_string(agent.port_) + "\r\n\r\n";
  struct Case {
    std::string url;
    bool other_thread;
    std::string wire;  // empty: no request arrives
  } cases[] = {
      {agent.Url("/GetState?ServerPassWord=pw&SiteNum=1"), false,
       "GET /GetState?ServerPassWord=pw&SiteNum=1 HTTP/1.1\r\n" + host},
      {agent.Url("/Hello?ServerPassWord=%C4%BF"), false,
       "GET /Hello?ServerPassWord=%C4%BF HTTP/1.1\r\n" + host},
      {"http://127.0.0.1:" + std::to_string(closed_port) + "/Hello?ServerPassWord=", false, ""},
      {agent.Url("/GetState?ServerPassWord=pw&SiteNum=2"), false,
       "GET /GetState?ServerPassWord=pw&SiteNum=2 HTTP/1.1\r\n" + host},
      {agent.Url("/GetState?ServerPassWord=pw&SiteNum=3"), true,
       "GET /GetState?ServerPassWord=pw&SiteNum=3 HTTP/1.1\r\n" + host},
      {agent.Url("/GetState?ServerPassWord=pw&SiteNum=4"), false,
       "GET /GetState?ServerPassWord=pw&SiteNum=4 HTTP/1.1\r\n" + host},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    Variant got;
    if (c.other_thread)
      std::thread([&] { got = Fetch(c.url); }).join();
    else
      got = Fetch(c.url);
    if (c.wire.empty()) {
      EXPECT_TRUE(got.IsEmpty()) << c.url;
      continue;
    }
    ASSERT_NE(got.AsBytes(), nullptr) << c.url;
    EXPECT_EQ(std::string(got.AsBytes()->begin(), got.AsBytes()->end()), "ok") << c.url;
    expected.push_back(c.wire);
  }
  const auto requests = agent.Requests();
  ASSERT_EQ(requests.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(requests[i].first, static_cast<int>(i)) << "request " << i << " reused a connection";
    EXPECT_EQ(requests[i].second, expected[i]);
  }
}

TEST(HttpRequest, MisuseRaises) {
  HttpRequest req;
  EXPECT_THROW(req.Send(), RaisedError);
  EXPECT_THROW(req.Open("GET", "http://127.0.0.1/", true), RaisedError);
  EXPECT_EQ(req.ReadyState(), 0);
}

}  // namespace
}  // namespace quorvale
