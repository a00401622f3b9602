#include "wizard/loginpage.h"

#include "controls/iconstore.h"
#include "controls/pickonlycombobox.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ordwick {

namespace {

QString selectedText(const QComboBox* list) {
    return list->currentIndex() >= 0 ? list->currentText() : QString();
}

} // namespace

LoginPage::LoginPage(QWidget* parent)
    : QWidget(parent), m_txtLoginName(new QLineEdit(this)), m_txtPassword(new QLineEdit(this)),
      m_icbTableName(new PickOnlyComboBox(this)), m_icbLoginField(new PickOnlyComboBox(this)),
      m_icbPasswordField(new PickOnlyComboBox(this)), m_lblLoginNote(new QLabel(this)) {
    setObjectName(QStringLiteral("pgLogin"));
    m_txtLoginName->setObjectName(QStringLiteral("txtLoginName"));
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_icbTableName->setObjectName(QStringLiteral("icbTableName"));
    m_icbLoginField->setObjectName(QStringLiteral("icbLoginField"));
    m_icbPasswordField->setObjectName(QStringLiteral("icbPasswordField"));
    m_lblLoginNote->setObjectName(QStringLiteral("lblLoginNote"));
    m_lblLoginNote->setWordWrap(true);
    m_lblLoginNote->setText(LoginStep::lacksFieldNote());
    m_lblLoginNote->hide();
    for (QComboBox* list : {m_icbTableName, m_icbLoginField, m_icbPasswordField})
        list->setMinimumWidth(220);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Login page of the site."), this));
    auto* fixed = new QGroupBox(QStringLiteral("Statics loginname and password"), this);
    fixed->setObjectName(QStringLiteral("fraStaticLogin"));
    auto* fixedForm = new QFormLayout(fixed);
    fixedForm->addRow(QStringLiteral("Login name:"), m_txtLoginName);
    fixedForm->addRow(QStringLiteral("Password:"), m_txtPassword);
    layout->addWidget(fixed);
    auto* dynamic = new QGroupBox(QStringLiteral("Dynamic loginname and password"), this);
    dynamic->setObjectName(QStringLiteral("fraDynamicLogin"));
    auto* dynamicForm = new QFormLayout(dynamic);
    dynamicForm->addRow(QStringLiteral("Table name:"), m_icbTableName);
    dynamicForm->addRow(QStringLiteral("Login field:"), m_icbLoginField);
    dynamicForm->addRow(QStringLiteral("Password field:"), m_icbPasswordField);
    dynamicForm->addRow(m_lblLoginNote);
    layout->addWidget(dynamic);
    layout->addStretch();

    connect(m_icbTableName, &QComboBox::activated, this, [this] {
        clearFixedLogin();
        clearFields();
        Q_EMIT tableChosen(m_icbTableName->currentText());
    });
    for (QComboBox* field : {m_icbLoginField, m_icbPasswordField})
        connect(field, &QComboBox::activated, this, &LoginPage::clearFixedLogin);
    for (QComboBox* list : {m_icbTableName, m_icbLoginField, m_icbPasswordField})
        connect(list, &QComboBox::currentIndexChanged, this, &LoginPage::updateNote);
}

void LoginPage::fill(const LoginChoice& choice, const QStringList& tables) {
    m_txtLoginName->setText(choice.name);
    m_txtPassword->setText(choice.password);
    m_icbTableName->clear();
    clearFields();
    for (const QString& table : tables)
        m_icbTableName->addItem(iconFor(QStringLiteral("TABLE")), table);
    m_icbTableName->setCurrentIndex(
        choice.table.isEmpty() ? -1 : m_icbTableName->findText(choice.table, Qt::MatchExactly));
    updateNote();
}

void LoginPage::setFields(const QStringList& fields, const QString& loginField,
                          const QString& passwordField) {
    clearFields();
    for (QComboBox* list : {m_icbLoginField, m_icbPasswordField}) {
        for (const QString& field : fields)
            list->addItem(iconFor(QStringLiteral("ROW")), field);
    }
    m_icbLoginField->setCurrentIndex(
        loginField.isEmpty() ? -1 : m_icbLoginField->findText(loginField, Qt::MatchExactly));
    m_icbPasswordField->setCurrentIndex(
        passwordField.isEmpty() ? -1
                                : m_icbPasswordField->findText(passwordField, Qt::MatchExactly));
    updateNote();
}

void LoginPage::clearFixedLogin() {
    m_txtLoginName->clear();
    m_txtPassword->clear();
}

void LoginPage::clearFields() {
    m_icbLoginField->clear();
    m_icbPasswordField->clear();
}

LoginChoice LoginPage::choice() const {
    return {m_txtLoginName->text(), m_txtPassword->text(), selectedText(m_icbTableName),
            selectedText(m_icbLoginField), selectedText(m_icbPasswordField)};
}

void LoginPage::updateNote() {
    m_lblLoginNote->setVisible(LoginStep::lacksField(choice()));
}

} // namespace ordwick
