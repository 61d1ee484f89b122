// The bounded connection test, tried against this machine only.
#include "shell/connection_test.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace keldra {
namespace {

using Clock = std::chrono::steady_clock;

// A listening TCP socket on the loopback address.
class Listener {
public:
    Listener() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(fd_, 4);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { close(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    std::string port() const { return std::to_string(port_); }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
    unsigned short port_ = 0;
};

TEST(CanOpenConnection, AnswersWithinItsDeadline) {
    Listener listener;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    EXPECT_TRUE(can_open_connection("127.0.0.1", listener.port(), deadline));

    const std::string closed_port = listener.port();
    listener.close();
    EXPECT_FALSE(
        can_open_connection("127.0.0.1", closed_port, Clock::now() + std::chrono::seconds(2)));
    EXPECT_FALSE(can_open_connection("127.0.0.1", closed_port, Clock::now()))
        << "a deadline already passed";
}

} // namespace
} // namespace keldra
