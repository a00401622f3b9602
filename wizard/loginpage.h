#pragma once

#include "wizard/loginstep.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace ordwick {

// The "Login" step: a fixed login name and password, or a table with the
// fields that hold the logins.
class LoginPage final : public QWidget {
    Q_OBJECT
public:
    explicit LoginPage(QWidget* parent = nullptr);

    // Shows the stored login; the field lists stay empty until setFields.
    void fill(const LoginChoice& choice, const QStringList& tables);
    // Offers the fields of the chosen table and selects the named ones.
    void setFields(const QStringList& fields, const QString& loginField = {},
                   const QString& passwordField = {});
    // A table or field was picked: the fixed texts no longer apply.
    void clearFixedLogin();
    void clearFields();
    LoginChoice choice() const;

    QLineEdit* txtLoginName() const { return m_txtLoginName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QComboBox* icbTableName() const { return m_icbTableName; }
    QComboBox* icbLoginField() const { return m_icbLoginField; }
    QComboBox* icbPasswordField() const { return m_icbPasswordField; }
    QLabel* lblLoginNote() const { return m_lblLoginNote; }

Q_SIGNALS:
    // The user picked a login table: its fields are to be read.
    void tableChosen(const QString& table);

private:
    void updateNote();

    QLineEdit* m_txtLoginName;
    QLineEdit* m_txtPassword;
    QComboBox* m_icbTableName;
    QComboBox* m_icbLoginField;
    QComboBox* m_icbPasswordField;
    QLabel* m_lblLoginNote;
};

} // namespace ordwick
