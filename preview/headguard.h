// One connection of the preview as cpp-httplib reads and writes it, with the
// request head bounded while it arrives. The library reads a head line by
// line with no limit on the number of lines, and each read may wait its full
// timeout, so a client trickling header lines held a thread for as long as it
// liked and a flood of lines filled the memory before any route could refuse
// it. Here the head must arrive whole within a deadline and within a size and
// line count; past them the client gets 408 or 431 and the connection ends.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <httplib.h>
#include <string>
#include <vector>

namespace ordwick::preview {

struct HeadLimits {
    std::chrono::milliseconds deadline{10000}; // for the whole head, from its first byte
    size_t maxFields = 100;                    // header fields, besides the request line
    size_t maxBytes = 64 * 1024;
};

// The short page a refusal carries.
std::string refusalPage(int status, const std::string& text);

class GuardedStream final : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    // stopping: true once the server closes, so that no wait outlasts it.
    GuardedStream(int socket, const HeadLimits& limits, std::chrono::milliseconds readTimeout,
                  std::chrono::milliseconds writeTimeout, std::function<bool()> stopping);

    // Waits up to idle for the next request of the connection; false when
    // none came, the client left or the server is stopping.
    bool waitForRequest(std::chrono::milliseconds idle);
    // A request's head starts; the library has read it whole at headRead().
    void headStarts();
    void headRead() { m_inHead = false; }
    // The head broke a limit and the client was answered for it: the
    // connection must end.
    bool refused() const { return m_refused; }
    // Ends the connection. After a refusal the client's remaining bytes are
    // read and dropped for a moment, so that closing with them unread does
    // not reset the connection before the client has read the answer.
    void close();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* data, size_t size) override;
    ssize_t write(const char* data, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    int socket() const override { return m_socket; }

private:
    // Polls in short slices so that a stopping server is noticed; until is
    // the latest moment to wait to.
    bool waitFor(short events, Clock::time_point until) const;
    ssize_t receive();
    bool countHead(const char* data, size_t size);
    void refuse(int status, const char* reason, const char* text);
    bool sendAll(const char* data, size_t size);

    const int m_socket;
    const HeadLimits m_limits;
    const std::chrono::milliseconds m_readTimeout;
    const std::chrono::milliseconds m_writeTimeout;
    const std::function<bool()> m_stopping;

    std::vector<char> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;

    bool m_inHead = false;
    bool m_refused = false;
    Clock::time_point m_headDeadline;
    size_t m_headBytes = 0;
    size_t m_headLines = 0;
    size_t m_lineLength = 0;
};

} // namespace ordwick::preview
