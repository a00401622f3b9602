#include "wizard/connectionstringdialog.h"

#include "controls/accessibility.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace ordwick {

ConnectionStringDialog::ConnectionStringDialog(const QStringList& drivers, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgConnectionString"));
    setWindowTitle(QStringLiteral("Connection String"));
    auto* form = new QFormLayout(this);
    m_driver = new QComboBox(this);
    m_driver->setObjectName(QStringLiteral("cboDriver"));
    m_driver->setEditable(true);
    m_driver->addItems(drivers);
    m_server = new QLineEdit(QStringLiteral("127.0.0.1"), this);
    m_server->setObjectName(QStringLiteral("txtServer"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("txtPort"));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("default"));
    m_database = new QLineEdit(this);
    m_database->setObjectName(QStringLiteral("txtDatabase"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&Driver:"), m_driver);
    form->addRow(QStringLiteral("&Server:"), m_server);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    form->addRow(QStringLiteral("D&atabase:"), m_database);
    form->addRow(QStringLiteral("&User:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    assignAccessibleNames(this);
}

QString ConnectionStringDialog::quoted(const QString& value) {
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('=')) ||
                             value.contains(QLatin1Char('{')) ||
                             value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
    if (!needsBraces)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString ConnectionStringDialog::build(const QString& driver, const QString& server, int port,
                                      const QString& database, const QString& user,
                                      const QString& password) {
    QStringList pairs{QStringLiteral("DRIVER={") + driver + QLatin1Char('}')};
    const auto add = [&pairs](const char* key, const QString& value) {
        if (!value.isEmpty())
            pairs.append(QLatin1String(key) + QLatin1Char('=') + quoted(value));
    };
    add("SERVER", server);
    if (port > 0)
        add("PORT", QString::number(port));
    add("DATABASE", database);
    add("UID", user);
    add("PWD", password);
    return pairs.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString ConnectionStringDialog::connectionString() const {
    return build(m_driver->currentText().trimmed(), m_server->text().trimmed(), m_port->value(),
                 m_database->text().trimmed(), m_user->text(), m_password->text());
}

} // namespace ordwick
