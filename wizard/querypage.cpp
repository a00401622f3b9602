#include "wizard/querypage.h"

#include "project/projectsession.h"
#include "wizard/querystep.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ordwick {

QueryPage::QueryPage(ProjectSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), m_select(new QPlainTextEdit(this)),
      m_where(new QPlainTextEdit(this)),
      m_whereLabel(new QLabel(
          QStringLiteral("Customize the SQL query string by adding WHERE clause"), this)),
      m_check2(new QCheckBox(QStringLiteral("Allow Edit"), this)),
      m_cmdMore(new QPushButton(QStringLiteral("&Advanced"), this)) {
    setObjectName(QStringLiteral("pgQuery"));
    m_select->setObjectName(QStringLiteral("rtbQuery(0)"));
    m_where->setObjectName(QStringLiteral("rtbQuery(1)"));
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_cmdMore->setObjectName(QStringLiteral("cmdMore"));
    m_select->setReadOnly(true);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_select->setFont(mono);
    m_where->setFont(mono);

    auto* layout = new QVBoxLayout(this);
    auto* selectLabel = new QLabel(QStringLiteral("Available SQL query string"), this);
    selectLabel->setBuddy(m_select);
    m_whereLabel->setBuddy(m_where);
    layout->addWidget(selectLabel);
    layout->addWidget(m_select, 2);
    layout->addWidget(m_whereLabel);
    layout->addWidget(m_where, 1);
    auto* buttons = new QHBoxLayout;
    auto* restore = new QPushButton(QStringLiteral("Restore"), this);
    restore->setObjectName(QStringLiteral("Command2"));
    auto* brackets = new QPushButton(QStringLiteral("Add/Remove Brackets"), this);
    brackets->setObjectName(QStringLiteral("Command3"));
    buttons->addWidget(m_check2);
    buttons->addStretch();
    buttons->addWidget(restore);
    buttons->addWidget(brackets);
    buttons->addWidget(m_cmdMore);
    layout->addLayout(buttons);
    connect(m_check2, &QCheckBox::clicked, this, &QueryPage::onAllowEditToggled);
    connect(restore, &QPushButton::clicked, this, &QueryPage::restoreDefaultQuery);
    connect(brackets, &QPushButton::clicked, this, &QueryPage::toggleBrackets);
    connect(m_cmdMore, &QPushButton::clicked, this, &QueryPage::toggleWhereBox);
    m_where->setVisible(false);
    m_whereLabel->setVisible(false);
}

QPlainTextEdit* QueryPage::rtbQuery(int index) const {
    return index == 0 ? m_select : m_where;
}

QString QueryPage::selectText() const {
    return m_select->toPlainText();
}

QString QueryPage::whereText() const {
    return m_where->toPlainText();
}

void QueryPage::setWhereText(const QString& text) {
    m_where->setPlainText(text);
}

bool QueryPage::whereBoxShown() const {
    return !m_where->isHidden();
}

void QueryPage::prepare() {
    const Project& project = m_session.project;
    const QString where = project.SQLString.isEmpty() ? QString() : project.SQLWhereString;
    m_select->setPlainText(QueryText::shownSelect(project));
    m_where->setPlainText(where);
    // One toggle from the opposite state leaves the WHERE box shown exactly
    // when it has text.
    m_cmdMore->setText(where.isEmpty() ? QStringLiteral("&Basic") : QStringLiteral("&Advanced"));
    m_cmdMore->setAccessibleName(where.isEmpty() ? QStringLiteral("Basic")
                                                 : QStringLiteral("Advanced"));
    toggleWhereBox();
}

void QueryPage::restoreDefaultQuery() {
    m_select->setPlainText(QueryText::shownSelect(m_session.project));
}

void QueryPage::toggleBrackets() {
    m_select->setPlainText(QueryText::toggledBrackets(m_session.project, selectText()));
}

void QueryPage::onAllowEditToggled() {
    m_select->setReadOnly(!m_check2->isChecked());
}

void QueryPage::toggleWhereBox() {
    const bool advanced = m_cmdMore->text() == QLatin1String("&Advanced");
    m_cmdMore->setText(advanced ? QStringLiteral("&Basic") : QStringLiteral("&Advanced"));
    m_cmdMore->setAccessibleName(advanced ? QStringLiteral("Basic") : QStringLiteral("Advanced"));
    m_where->setVisible(advanced);
    m_whereLabel->setVisible(advanced);
}

} // namespace ordwick
