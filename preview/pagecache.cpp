#include "preview/pagecache.h"

#include <QFileInfo>

namespace ordwick::preview {

PageCache::PageCache(const QString& siteRoot) : m_translator(siteRoot) {}

bool PageCache::current(const TranslatedPage& page) {
    for (const SourceStamp& source : page.sources) {
        const QFileInfo info(source.path);
        if (!info.exists() || info.lastModified() != source.modified || info.size() != source.size)
            return false;
    }
    return !page.sources.isEmpty();
}

std::shared_ptr<const TranslatedPage> PageCache::page(const QString& path) {
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_pages.constFind(path);
        if (it != m_pages.cend() && current(**it))
            return *it;
    }
    auto translated = std::make_shared<const TranslatedPage>(m_translator.translate(path));
    const std::lock_guard lock(m_mutex);
    m_pages.insert(path, translated);
    return translated;
}

} // namespace ordwick::preview
