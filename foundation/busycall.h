#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <future>
#include <utility>

namespace ordwick {

// Runs slow work (opening a connection, reading a schema) on a worker thread
// while the window keeps painting; the user's input waits until the work is
// done. Returns the work's result or rethrows its exception. The work must not
// touch widgets.
template <typename Work> auto runResponsively(Work&& work) -> decltype(work()) {
    if (QCoreApplication::instance() == nullptr)
        return work();
    std::future<decltype(work())> result = std::async(std::launch::async, std::forward<Work>(work));
    using namespace std::chrono_literals;
    while (result.wait_for(15ms) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 15);
    return result.get();
}

} // namespace ordwick
