#pragma once

#include "engine/siteplan.h"
#include "generation/bodytag.h"

#include <QByteArray>
#include <QString>

namespace ordwick::engine {

// What surrounds every page's body: the chosen template, or the built-in frame.
class Frame {
public:
    // The clean frame used for "no template".
    static Frame builtIn();
    // A template's index.html, split at its body tag; the pages' style sheet
    // goes into its head and their script before its body ends.
    static Frame fromTemplate(const QString& indexHtml, const SiteFiles& files);

    QString wrap(const QString& title, const QString& body, const SiteFiles& files) const;
    bool isTemplate() const { return m_template; }
    // The Content-Security-Policy of the pages: the site's own scripts,
    // styles and pictures only, widened just as far as the frame's own
    // markup needs (inline script or style, another server's files).
    QString contentPolicy() const;

private:
    QString m_before;
    QString m_after;
    bool m_template = false;
};

// The site's files. Each returns the whole file.
QByteArray variablesPage(const SitePlan& plan, const Frame& frame);
QByteArray functionsPage();
QByteArray siteScript();
QByteArray dynamicFunctionsPage(const SitePlan& plan);
QByteArray styleSheet();
QByteArray validationScript(const SitePlan& plan);
QByteArray loginPage(const SitePlan& plan, const Frame& frame);
QByteArray indexPage(const SitePlan& plan, const Frame& frame);
QByteArray editPage(const SitePlan& plan, const Frame& frame);
QByteArray searchPage(const SitePlan& plan, const Frame& frame);
QByteArray printPage(const SitePlan& plan, const Frame& frame);
QByteArray exportPage(const SitePlan& plan);

// Shared by the page writers.
namespace pagetext {
QString directiveAndIncludes(const SitePlan& plan);
QString caption(const SiteColumn& column, bool list);
QString formatClasses(const SiteColumn& column, bool list);
QString link(const QString& file);
QByteArray finish(const QString& text);
} // namespace pagetext

} // namespace ordwick::engine
