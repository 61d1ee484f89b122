#include "shell/connection_test.h"

#include "platform/file_descriptor.h"

#include <QNetworkInformation>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace keldra {
namespace {

using Clock = std::chrono::steady_clock;

struct AddressList {
    addrinfo* first = nullptr;
    AddressList() = default;
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;
    ~AddressList() {
        if (first != nullptr) {
            ::freeaddrinfo(first);
        }
    }
};

int milliseconds_left(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool connect_before(const addrinfo& address, Clock::time_point deadline) {
    FileDescriptor socket(::socket(address.ai_family,
                                   address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                   address.ai_protocol));
    if (socket.get() < 0) {
        return false;
    }
    if (::connect(socket.get(), address.ai_addr, address.ai_addrlen) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    pollfd waiting{socket.get(), POLLOUT, 0};
    if (::poll(&waiting, 1, milliseconds_left(deadline)) != 1) {
        return false;
    }
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool connect_to_host(const std::string& host, const std::string& port, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    AddressList addresses;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &addresses.first) != 0) {
        return false;
    }
    for (const addrinfo* address = addresses.first; address != nullptr;
         address = address->ai_next) {
        if (Clock::now() >= deadline) {
            return false;
        }
        if (connect_before(*address, deadline)) {
            return true;
        }
    }
    return false;
}

// What the probing thread reports; shared so that a thread outliving its caller stays safe.
struct ProbeResult {
    std::mutex mutex;
    std::condition_variable done_changed;
    bool done = false;
    bool connected = false;
};

bool system_reports_offline() {
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        return false;
    }
    const auto reachability = QNetworkInformation::instance()->reachability();
    return reachability != QNetworkInformation::Reachability::Online &&
           reachability != QNetworkInformation::Reachability::Unknown;
}

} // namespace

bool can_open_connection(const std::string& host, const std::string& port,
                         Clock::time_point deadline) {
    auto result = std::make_shared<ProbeResult>();
    // The name lookup cannot be given a deadline, so it runs on a thread of its own.
    std::thread([result, host, port, deadline] {
        const bool connected = connect_to_host(host, port, deadline);
        const std::lock_guard lock(result->mutex);
        result->done = true;
        result->connected = connected;
        result->done_changed.notify_all();
    }).detach();
    std::unique_lock lock(result->mutex);
    result->done_changed.wait_until(lock, deadline, [&] { return result->done; });
    return result->done && result->connected;
}

NetworkConnectionTest::NetworkConnectionTest(std::string host, std::string port,
                                             std::chrono::milliseconds limit)
    : host_(std::move(host)), port_(std::move(port)), limit_(limit) {}

bool NetworkConnectionTest::is_connected() {
    const auto deadline = Clock::now() + limit_;
    if (system_reports_offline()) {
        return false;
    }
    return can_open_connection(host_, port_, deadline);
}

} // namespace keldra
