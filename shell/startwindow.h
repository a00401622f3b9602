#pragma once

#include <QMainWindow>

class QLabel;

namespace ordwick {

class ProjectSession;

// The program's window while the wizard is being built: it shows the project
// that is loaded and offers New, Open, Save and Exit.
class StartWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit StartWindow(ProjectSession& session, QWidget* parent = nullptr);

    void refresh();

private:
    ProjectSession& m_session;
    QLabel* m_summary = nullptr;
};

} // namespace ordwick
