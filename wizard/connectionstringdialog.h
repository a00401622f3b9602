#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace ordwick {

// Builds an ODBC connection string from a driver, a server, a database, a user
// and a password.
class ConnectionStringDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionStringDialog(const QStringList& drivers, QWidget* parent = nullptr);

    QString connectionString() const;

    // Values in braces may hold the ";" and "=" that separate the pairs.
    static QString quoted(const QString& value);
    static QString build(const QString& driver, const QString& server, int port,
                         const QString& database, const QString& user, const QString& password);

private:
    QComboBox* m_driver = nullptr;
    QLineEdit* m_server = nullptr;
    QSpinBox* m_port = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};

} // namespace ordwick
