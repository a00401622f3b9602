#pragma once

#include "wizard/datasourcestep.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ordwick {

// The controls of the "Select Data Source" step: a data file, an ODBC data
// source name, or a connection string.
class DataSourcePage final : public QWidget {
    Q_OBJECT
public:
    explicit DataSourcePage(QWidget* parent = nullptr);

    DataSourceChoice choice() const;
    int selectedOption() const;
    void selectOption(int index);
    // Shows the frame of a data source kind (1..3) and hides the others.
    void showFrame(int datasourceStatus);
    void focus(DataSourceStep::Focus focus);

    // The data source names of the settings store, in its order.
    void populateDataSources();
    void selectDataSource(const QString& name);

    QLineEdit* txtDataSource() const { return m_txtDataSource; }
    QLineEdit* txtDatabaseLogin() const { return m_txtDatabaseLogin; }
    QLineEdit* txtDatabasePassword() const { return m_txtDatabasePassword; }
    QComboBox* icbDataSource() const { return m_icbDataSource; }
    QLineEdit* txtODBCLogin() const { return m_txtODBCLogin; }
    QLineEdit* txtODBCPassword() const { return m_txtODBCPassword; }
    QLineEdit* txtConnectionString() const { return m_txtConnectionString; }

    static QString startingConnectionString();
    // The filter of the data file dialog.
    static QString dataFileFilter();

Q_SIGNALS:
    void optionClicked(int index);
    void browseRequested();
    void refreshRequested();
    void dataSourceClicked();
    void connectionBuilderRequested();

private:
    QGroupBox* fileFrame();
    QGroupBox* dsnFrame();
    QGroupBox* connectionFrame();

    std::array<QRadioButton*, 3> m_optDataSource{};
    std::array<QGroupBox*, 3> m_fraDataSource{};
    QLineEdit* m_txtDataSource = nullptr;
    QLineEdit* m_txtDatabaseLogin = nullptr;
    QLineEdit* m_txtDatabasePassword = nullptr;
    QComboBox* m_icbDataSource = nullptr;
    QLineEdit* m_txtODBCLogin = nullptr;
    QLineEdit* m_txtODBCPassword = nullptr;
    QLineEdit* m_txtConnectionString = nullptr;
};

} // namespace ordwick
