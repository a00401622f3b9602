#include "preview/headguard.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace ordwick::preview {

namespace {

using namespace std::chrono_literals;

// How long one poll waits before looking whether the server is stopping.
constexpr auto kSlice = 100ms;
// A refused client's remaining bytes are dropped for at most this long and
// this much before the connection is closed regardless.
constexpr auto kLingerTime = 2s;
constexpr size_t kLingerBytes = 1 << 20;
constexpr size_t kBufferSize = 4096;

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    ip = text;
}

} // namespace

std::string refusalPage(int status, const std::string& text) {
    const std::string code = std::to_string(status);
    return "<!DOCTYPE html>\n<html><head><title>" + code + "</title></head><body><h1>" + code +
           "</h1><p>" + text + "</p></body></html>\n";
}

GuardedStream::GuardedStream(int socket, const HeadLimits& limits,
                             std::chrono::milliseconds readTimeout,
                             std::chrono::milliseconds writeTimeout, std::function<bool()> stopping)
    : m_socket(socket), m_limits(limits), m_readTimeout(readTimeout), m_writeTimeout(writeTimeout),
      m_stopping(std::move(stopping)), m_buffer(kBufferSize) {}

bool GuardedStream::waitFor(short events, Clock::time_point until) const {
    while (!m_stopping()) {
        const auto now = Clock::now();
        if (now >= until)
            return false;
        const auto wait = std::min<Clock::duration>(until - now, kSlice);
        pollfd watched{m_socket, events, 0};
        const int ready =
            ::poll(&watched, 1,
                   static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
    return false;
}

bool GuardedStream::waitForRequest(std::chrono::milliseconds idle) {
    if (m_begin < m_end) // the next request came with the last one
        return true;
    return waitFor(POLLIN, Clock::now() + idle);
}

void GuardedStream::headStarts() {
    m_inHead = true;
    m_headDeadline = Clock::now() + m_limits.deadline;
    m_headBytes = 0;
    m_headLines = 0;
    m_lineLength = 0;
}

bool GuardedStream::is_readable() const {
    return m_begin < m_end || waitFor(POLLIN, Clock::now() + m_readTimeout);
}

bool GuardedStream::is_writable() const {
    return waitFor(POLLOUT, Clock::now() + m_writeTimeout);
}

ssize_t GuardedStream::receive() {
    auto until = Clock::now() + m_readTimeout;
    if (m_inHead)
        until = std::min(until, m_headDeadline);
    if (!waitFor(POLLIN, until)) {
        if (m_inHead && Clock::now() >= m_headDeadline)
            refuse(408, "Request Timeout", "The request's head did not arrive in time.");
        return -1;
    }
    const ssize_t received = ::recv(m_socket, m_buffer.data(), m_buffer.size(), 0);
    if (received > 0) {
        m_begin = 0;
        m_end = static_cast<size_t>(received);
    }
    return received;
}

ssize_t GuardedStream::read(char* data, size_t size) {
    if (m_refused)
        return -1;
    if (m_begin == m_end) {
        const ssize_t received = receive();
        if (received <= 0)
            return received;
    }
    const size_t count = std::min(size, m_end - m_begin);
    const char* from = m_buffer.data() + m_begin;
    if (m_inHead && !countHead(from, count)) {
        refuse(431, "Request Header Fields Too Large",
               "The request's header fields are too many or too large.");
        return -1;
    }
    std::memcpy(data, from, count);
    m_begin += count;
    return static_cast<ssize_t>(count);
}

// The library takes the head a byte at a time; the blank line that ends it
// does not count as a field.
bool GuardedStream::countHead(const char* data, size_t size) {
    m_headBytes += size;
    if (m_headBytes > m_limits.maxBytes)
        return false;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            if (m_lineLength > 0 && ++m_headLines > m_limits.maxFields + 1)
                return false;
            m_lineLength = 0;
        } else if (data[i] != '\r') {
            ++m_lineLength;
        }
    }
    return true;
}

ssize_t GuardedStream::write(const char* data, size_t size) {
    // The library answers a head it could not read with a 400 of its own;
    // the client already has the refusal.
    if (m_refused)
        return static_cast<ssize_t>(size);
    if (!is_writable())
        return -1;
    return ::send(m_socket, data, size, MSG_NOSIGNAL);
}

bool GuardedStream::sendAll(const char* data, size_t size) {
    while (size > 0) {
        if (!is_writable())
            return false;
        const ssize_t sent = ::send(m_socket, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

void GuardedStream::refuse(int status, const char* reason, const char* text) {
    m_refused = true;
    const std::string body = refusalPage(status, text);
    const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason +
                               "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    sendAll(answer.data(), answer.size());
}

void GuardedStream::close() {
    ::shutdown(m_socket, SHUT_WR);
    if (m_refused) {
        const auto until = Clock::now() + kLingerTime;
        size_t dropped = 0;
        while (dropped < kLingerBytes && waitFor(POLLIN, until)) {
            const ssize_t received = ::recv(m_socket, m_buffer.data(), m_buffer.size(), 0);
            if (received <= 0)
                break;
            dropped += static_cast<size_t>(received);
        }
    }
    ::shutdown(m_socket, SHUT_RDWR);
    ::close(m_socket);
}

void GuardedStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, ip, port);
}

void GuardedStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        addressOf(address, ip, port);
}

} // namespace ordwick::preview
