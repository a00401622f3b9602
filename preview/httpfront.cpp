#include "preview/httpfront.h"

#include "preview/bodystream.h"
#include "preview/headguard.h"

#include <atomic>
#include <chrono>
#include <httplib.h>
#include <thread>
#include <utility>

namespace ordwick::preview {

namespace {

// The library's server with each connection read through a GuardedStream.
// It calls its (private, virtual) per-connection function for every
// accepted socket; this one keeps the library's keep-alive rules.
class GuardedServer final : public httplib::Server {
public:
    explicit GuardedServer(const HeadLimits& limits) : m_limits(limits) {}

private:
    bool process_and_close_socket(int socket) override {
        using std::chrono::microseconds;
        using std::chrono::milliseconds;
        using std::chrono::seconds;
        const auto timeout = [](time_t sec, time_t usec) {
            return std::chrono::duration_cast<milliseconds>(seconds(sec) + microseconds(usec));
        };
        GuardedStream stream(socket, m_limits, timeout(read_timeout_sec_, read_timeout_usec_),
                             timeout(write_timeout_sec_, write_timeout_usec_),
                             [this] { return svr_sock_ == INVALID_SOCKET; });
        bool answered = false;
        for (size_t left = keep_alive_max_count_;
             left > 0 && stream.waitForRequest(seconds(keep_alive_timeout_sec_)); --left) {
            bool closed = false;
            stream.headStarts();
            answered = process_request(stream, left == 1, closed,
                                       [&stream](httplib::Request&) { stream.headRead(); });
            if (!answered || closed || stream.refused())
                break;
        }
        stream.close();
        return answered;
    }

    const HeadLimits m_limits;
};

HttpRequest toRequest(const httplib::Request& in) {
    HttpRequest request;
    request.method = QByteArray::fromStdString(in.method);
    request.target = QByteArray::fromStdString(in.target);
    request.version = QByteArray::fromStdString(in.version);
    for (const auto& [name, value] : in.headers) {
        // The library adds these for its own bookkeeping.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
            name == "LOCAL_PORT")
            continue;
        request.headers.append({QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
    }
    request.body = QByteArray::fromStdString(in.body);
    request.remoteAddress = QString::fromStdString(in.remote_addr);
    request.remotePort = in.remote_port;
    request.localPort = in.local_port;
    return request;
}

std::string reason(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Request Entity Too Large";
    case 414:
        return "URI Too Long";
    case 416:
        return "Range Not Satisfiable";
    default:
        return "Error";
    }
}

HttpResponse refusal(int status, const char* text) {
    HttpResponse response;
    response.status = status;
    response.setHeader("Content-Type", "text/html; charset=utf-8");
    response.body = QByteArray::fromStdString(refusalPage(status, text));
    return response;
}

void fill(const HttpResponse& in, httplib::Response& out) {
    out.status = in.status;
    QByteArray contentType = "text/html";
    for (const auto& [name, value] : in.headers) {
        if (name.compare("Content-Type", Qt::CaseInsensitive) == 0) {
            contentType = value;
            continue;
        }
        out.headers.emplace(name.toStdString(), value.toStdString());
    }
    if (in.status == 304)
        return;
    if (!in.rest) {
        out.set_content(in.body.toStdString(), contentType.toStdString());
        return;
    }
    // Sent in chunks as the page writes them; the body it had when it flushed
    // goes first.
    out.set_chunked_content_provider(
        contentType.toStdString(),
        [rest = in.rest, first = in.body](size_t, httplib::DataSink& sink) mutable {
            QByteArray part;
            if (!first.isEmpty())
                part = std::exchange(first, {});
            else if (!rest->read(part)) {
                sink.done();
                return true;
            }
            return sink.write(part.constData(), static_cast<size_t>(part.size()));
        },
        [rest = in.rest](bool) { rest->closeReader(); });
}

} // namespace

struct HttpFront::Server {
    explicit Server(const HeadLimits& limits) : http(limits) {}

    GuardedServer http;
    std::thread thread;
    std::atomic<bool> listenEnded = false;
};

HttpFront::HttpFront(Handler handler, const HttpLimits& limits, int threads)
    : m_server(std::make_unique<Server>(limits.head)) {
    const qsizetype maxBodyBytes = limits.maxBodyBytes;
    httplib::Server& http = m_server->http;
    // The library owns the pool it is handed.
    http.new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<size_t>(threads));
    };
    http.set_payload_max_length(static_cast<size_t>(maxBodyBytes));
    // The library's default lets a second server share the port; the preview
    // must find out that the port is taken instead.
    http.set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http.set_keep_alive_max_count(100);
    // An idle kept-alive connection gives its thread back after a second.
    http.set_keep_alive_timeout(1);
    http.set_read_timeout(10);
    http.set_write_timeout(10);
    const auto route = [handler](const httplib::Request& request, httplib::Response& response) {
        fill(handler(toRequest(request)), response);
    };
    // Bodies are read here rather than by the library, whose own smaller limit
    // on form bodies would cut below the site's.
    const auto routeWithBody = [handler, maxBodyBytes](const httplib::Request& request,
                                                       httplib::Response& response,
                                                       const httplib::ContentReader& reader) {
        HttpRequest converted = toRequest(request);
        if (request.has_header("Content-Length")) {
            bool ok = false;
            const qlonglong length =
                QByteArray::fromStdString(request.get_header_value("Content-Length"))
                    .toLongLong(&ok);
            if (!ok || length < 0) {
                fill(refusal(400, "Bad Request: the Content-Length is not a number."), response);
                return;
            }
            if (length > maxBodyBytes) {
                fill(refusal(413, "The request body is larger than the site accepts."), response);
                response.set_header("Connection", "close");
                return;
            }
        }
        bool tooLarge = false;
        reader([&](const char* data, size_t length) {
            converted.body.append(data, static_cast<qsizetype>(length));
            tooLarge = converted.body.size() > maxBodyBytes;
            return !tooLarge;
        });
        if (tooLarge) {
            fill(refusal(413, "The request body is larger than the site accepts."), response);
            response.set_header("Connection", "close");
            return;
        }
        fill(handler(converted), response);
    };
    const std::string any = ".*";
    http.Get(any, route);
    http.Post(any, routeWithBody);
    http.Put(any, routeWithBody);
    http.Patch(any, routeWithBody);
    http.Delete(any, route);
    http.Options(any, route);
    // The library's own refusals (400, 413, 414) get a page too.
    http.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return;
        const std::string text = std::to_string(response.status) + " " + reason(response.status);
        response.set_content("<!DOCTYPE html>\n<html><head><title>" + text +
                                 "</title></head><body><h1>" + text + "</h1></body></html>\n",
                             "text/html; charset=utf-8");
    });
    http.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            response.status = 500;
            response.set_content("<!DOCTYPE html>\n<html><body><h1>500 Internal Server "
                                 "Error</h1></body></html>\n",
                                 "text/html; charset=utf-8");
        });
}

HttpFront::~HttpFront() {
    stop();
}

int HttpFront::listen(int port, QString& error) {
    httplib::Server& http = m_server->http;
    int bound = 0;
    if (port == 0) {
        bound = http.bind_to_any_port("127.0.0.1");
    } else if (http.bind_to_port("127.0.0.1", port)) {
        bound = port;
    }
    if (bound <= 0) {
        error = port == 0 ? QStringLiteral("No free port on 127.0.0.1 could be opened.")
                          : QStringLiteral("The port %1 on 127.0.0.1 is in use or cannot be "
                                           "opened.")
                                .arg(port);
        return 0;
    }
    std::atomic<bool>& ended = m_server->listenEnded;
    ended = false;
    m_server->thread = std::thread([&http, &ended] {
        http.listen_after_bind();
        ended = true;
    });
    // A stop() before the loop runs would be lost and leave it running, so
    // this waits for the loop however long a busy machine takes to start it.
    while (!http.is_running() && !ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void HttpFront::stop() {
    if (!m_server->thread.joinable())
        return;
    m_server->http.stop();
    m_server->thread.join();
}

} // namespace ordwick::preview
