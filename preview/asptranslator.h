// Turns a classic ASP page, with its server-side includes, into the one
// JScript function body the preview runs for it.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace ordwick::preview {

// Where a line of the translated script came from.
struct SourceLine {
    QString file; // the site's virtual path, "/include/functions.asp"
    int line = 0; // 1-based
};

// A file the translation read, with the state it had then.
struct SourceStamp {
    QString path;
    QDateTime modified;
    qint64 size = 0;
};

struct TranslatedPage {
    QString script;          // the page as one function expression
    QList<SourceLine> lines; // the origin of each line of script (index 0 = line 1)
    QList<SourceStamp> sources;
    // A page that cannot be translated answers with this error instead.
    QString errorCode; // "ASP 0126"
    QString errorText;
    SourceLine errorAt;
    // From the page's <%@ %> directive.
    int codePage = 0;
    bool sessionState = true;
    quint64 serial = 0; // unique for each translation, names compiled functions

    bool failed() const { return !errorText.isEmpty(); }
    SourceLine origin(int scriptLine) const;
};

class AspTranslator {
public:
    explicit AspTranslator(QString siteRoot);

    // pagePath: an absolute path inside the site root.
    TranslatedPage translate(const QString& pagePath) const;

    // Rewrites the assignments JScript allows to a call's default property,
    // "Session("x") = v", into an indexed assignment, "Session["x"] = v".
    static QString rewriteCallAssignments(const QString& code);

private:
    QString m_root;
};

} // namespace ordwick::preview
