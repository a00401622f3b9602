// Translated pages, kept per file and redone when the page or one of its
// includes changes on disk.
#pragma once

#include "preview/asptranslator.h"

#include <QHash>
#include <QString>
#include <memory>
#include <mutex>

namespace ordwick::preview {

class PageCache {
public:
    explicit PageCache(const QString& siteRoot);

    // The translation of the page at an absolute path; safe from any thread.
    std::shared_ptr<const TranslatedPage> page(const QString& path);

private:
    static bool current(const TranslatedPage& page);

    AspTranslator m_translator;
    std::mutex m_mutex;
    QHash<QString, std::shared_ptr<const TranslatedPage>> m_pages;
};

} // namespace ordwick::preview
