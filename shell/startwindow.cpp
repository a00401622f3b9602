#include "shell/startwindow.h"

#include "project/projectsession.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace ordwick {

StartWindow::StartWindow(ProjectSession& session, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_summary(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Tessaline"));
    setObjectName(QStringLiteral("frmMain"));
    m_summary->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_summary->setMargin(16);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setAccessibleName(QStringLiteral("Project"));
    setCentralWidget(m_summary);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), this, [this] {
        m_session.ProjectFile.clear();
        m_session.ProjectOrigin = OriginNew;
        m_session.resetRecord();
        refresh();
    });
    file->addAction(QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] {
        m_session.ProjectFile.clear();
        m_session.ProjectOrigin = OriginLoaded;
        m_session.resetRecord();
        m_session.OpenProject(QString());
        refresh();
    });
    file->addAction(QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] {
        m_session.ProjectOrigin = OriginSaving;
        const QString saved = m_session.SaveProject();
        statusBar()->showMessage(saved.isEmpty() ? QStringLiteral("Nothing was saved.")
                                                 : QStringLiteral("Saved %1").arg(saved));
    });
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), this,
                    &QWidget::close);
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(720, 480);
    refresh();
}

void StartWindow::refresh() {
    const Project& project = m_session.project;
    const QString file =
        m_session.ProjectFile.isEmpty() ? QStringLiteral("(not saved)") : m_session.ProjectFile;
    m_summary->setText(QStringLiteral("<h2>Tessaline</h2>"
                                      "<p>The wizard steps are being built. This window shows the "
                                      "project that is loaded.</p>"
                                      "<table>"
                                      "<tr><td>Project file:</td><td>%1</td></tr>"
                                      "<tr><td>Data source:</td><td>%2</td></tr>"
                                      "<tr><td>Table:</td><td>%3</td></tr>"
                                      "<tr><td>Columns:</td><td>%4</td></tr>"
                                      "</table>")
                           .arg(file.toHtmlEscaped(), project.DatabaseName.toHtmlEscaped(),
                                project.TableName.toHtmlEscaped())
                           .arg(project.Columns.size()));
}

} // namespace ordwick
