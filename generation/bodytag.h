#pragma once

#include <QString>
#include <QStringView>

namespace ordwick {

// The tag in a template's index.html where each generated page's body goes.
// The engine looks for it exactly as written, so the template manager and the
// wizard refuse a template on the same terms: one rule, in small letters.
inline QString bodyTag() {
    return QStringLiteral("<|body|>");
}

inline bool hasBodyTag(QStringView html) {
    return html.contains(bodyTag(), Qt::CaseSensitive);
}

} // namespace ordwick
