// The start-up test for an internet connection.
#pragma once

#include <chrono>
#include <string>

namespace keldra {

// Answers once whether the computer can reach the internet. Called on the UI thread.
class ConnectionTest {
public:
    virtual ~ConnectionTest() = default;
    // True when connected. Blocks the caller for as long as the test takes.
    virtual bool is_connected() = 0;
};

// The real test: the system's network information, when Qt has a backend for it, must not report
// the computer offline, and a TCP connection to a well-known web host must open. The whole test
// takes at most `limit`; a slower answer counts as no connection.
class NetworkConnectionTest final : public ConnectionTest {
public:
    explicit NetworkConnectionTest(std::string host = "www.baidu.com", std::string port = "80",
                                   std::chrono::milliseconds limit = std::chrono::seconds(2));
    bool is_connected() override;

private:
    std::string host_;
    std::string port_;
    std::chrono::milliseconds limit_;
};

// Opens a TCP connection to `host`:`port` and closes it again. Gives up at `deadline`; a name
// lookup that is still running then is left to finish on its own thread, which owns everything it
// touches. True when the connection opened in time.
bool can_open_connection(const std::string& host, const std::string& port,
                         std::chrono::steady_clock::time_point deadline);

} // namespace keldra
