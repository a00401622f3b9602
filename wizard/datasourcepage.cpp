#include "wizard/datasourcepage.h"

#include "controls/iconstore.h"
#include "controls/pickonlycombobox.h"
#include "foundation/settingsstore.h"
#include "foundation/trap.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ordwick {

namespace {

QLabel* descriptionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblDataSourceDescription"));
    label->setWordWrap(true);
    return label;
}

QLineEdit* passwordBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    return box;
}

QLineEdit* textBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

} // namespace

QString DataSourcePage::startingConnectionString() {
    return QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security "
                          "Info=False;Initial Catalog=Northwind");
}

QString DataSourcePage::dataFileFilter() {
    // Each entry shows its own words; the patterns after them are for the dialog.
    return QStringLiteral("MS Access Database (*.mdb) (*.mdb);;"
                          "MS Excel Worksheet (*.xls) (*.xls);;"
                          "dBase File (*.dbf) (*.dbf);;"
                          "Text File (*.txt, *.csv, *.asc, *.tab) (*.txt *.csv *.asc *.tab);;"
                          "SQLite Database (*.db;*.sqlite) (*.db *.sqlite)");
}

DataSourcePage::DataSourcePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pgDataSource"));
    auto* layout = new QVBoxLayout(this);
    const QString captions[] = {QStringLiteral("Database/text/spreadsheet file"),
                                QStringLiteral("ODBC Data Source Name (DSN)"),
                                QStringLiteral("External database")};
    auto* options = new QHBoxLayout;
    for (size_t i = 0; i < m_optDataSource.size(); ++i) {
        m_optDataSource[i] = new QRadioButton(captions[i], this);
        m_optDataSource[i]->setObjectName(QStringLiteral("optDataSource(%1)").arg(i));
        options->addWidget(m_optDataSource[i]);
        connect(m_optDataSource[i], &QRadioButton::clicked, this,
                [this, i] { Q_EMIT optionClicked(static_cast<int>(i)); });
    }
    options->addStretch();
    layout->addLayout(options);
    m_fraDataSource = {fileFrame(), dsnFrame(), connectionFrame()};
    for (size_t i = 0; i < m_fraDataSource.size(); ++i) {
        m_fraDataSource[i]->setObjectName(QStringLiteral("fraDataSource(%1)").arg(i));
        layout->addWidget(m_fraDataSource[i]);
    }
    layout->addStretch();
    m_optDataSource[0]->setChecked(true);
    showFrame(1);
}

QGroupBox* DataSourcePage::fileFrame() {
    auto* frame = new QGroupBox(m_optDataSource[0]->text(), this);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(descriptionLabel(
        QStringLiteral("Select database/text/spreadsheet files like MS Access, Excel, FoxPro, "
                       "dBase, Paradox, Text file, CSV file etc."),
        frame));
    auto* form = new QFormLayout;
    m_txtDataSource = textBox(QStringLiteral("txtDataSource"), frame);
    auto* browse = new QPushButton(QStringLiteral("..."), frame);
    browse->setObjectName(QStringLiteral("cmdDataSource"));
    browse->setToolTip(QStringLiteral("Browse for the data file"));
    browse->setAccessibleName(QStringLiteral("Browse for the data file"));
    browse->setMaximumWidth(40);
    connect(browse, &QPushButton::clicked, this, &DataSourcePage::browseRequested);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_txtDataSource, 1);
    fileRow->addWidget(browse);
    auto* fileLabel = new QLabel(QStringLiteral("Select data file:"), frame);
    fileLabel->setBuddy(m_txtDataSource);
    form->addRow(fileLabel, fileRow);
    m_txtDatabaseLogin = textBox(QStringLiteral("txtDatabaseLogin"), frame);
    m_txtDatabasePassword = passwordBox(QStringLiteral("txtDatabasePassword"), frame);
    form->addRow(QStringLiteral("Login:"), m_txtDatabaseLogin);
    form->addRow(QStringLiteral("Password:"), m_txtDatabasePassword);
    layout->addLayout(form);
    return frame;
}

QGroupBox* DataSourcePage::dsnFrame() {
    auto* frame = new QGroupBox(m_optDataSource[1]->text(), this);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(descriptionLabel(
        QStringLiteral("Select ODBC Data Source Name (DSN) available on the computer."), frame));
    auto* form = new QFormLayout;
    m_icbDataSource = new PickOnlyComboBox(frame);
    m_icbDataSource->setObjectName(QStringLiteral("icbDataSource"));
    connect(m_icbDataSource, &QComboBox::activated, this, &DataSourcePage::dataSourceClicked);
    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), frame);
    refresh->setObjectName(QStringLiteral("cmdRefresh"));
    connect(refresh, &QPushButton::clicked, this, &DataSourcePage::refreshRequested);
    auto* row = new QHBoxLayout;
    row->addWidget(m_icbDataSource, 1);
    row->addWidget(refresh);
    auto* label = new QLabel(QStringLiteral("Select ODBC DSN:"), frame);
    label->setBuddy(m_icbDataSource);
    form->addRow(label, row);
    m_txtODBCLogin = textBox(QStringLiteral("txtODBCLogin"), frame);
    m_txtODBCPassword = passwordBox(QStringLiteral("txtODBCPassword"), frame);
    form->addRow(QStringLiteral("Login:"), m_txtODBCLogin);
    form->addRow(QStringLiteral("Password:"), m_txtODBCPassword);
    layout->addLayout(form);
    return frame;
}

QGroupBox* DataSourcePage::connectionFrame() {
    auto* frame = new QGroupBox(m_optDataSource[2]->text(), this);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(descriptionLabel(
        QStringLiteral(
            "Connect to external database (MS SQL, Oracle, Sybase, mySQL, Filemaker etc) "
            "using the connection string."),
        frame));
    m_txtConnectionString = textBox(QStringLiteral("txtConnectionString"), frame);
    m_txtConnectionString->setText(startingConnectionString());
    auto* build = new QPushButton(QStringLiteral("..."), frame);
    build->setObjectName(QStringLiteral("cmdConnectionString"));
    build->setToolTip(QStringLiteral("Build a connection string"));
    build->setAccessibleName(QStringLiteral("Build a connection string"));
    build->setMaximumWidth(40);
    connect(build, &QPushButton::clicked, this, &DataSourcePage::connectionBuilderRequested);
    auto* row = new QHBoxLayout;
    row->addWidget(m_txtConnectionString, 1);
    row->addWidget(build);
    auto* form = new QFormLayout;
    auto* label = new QLabel(QStringLiteral("Connection string:"), frame);
    label->setBuddy(m_txtConnectionString);
    form->addRow(label, row);
    layout->addLayout(form);
    auto* hint = new QLabel(QStringLiteral("Example: Provider=SQLOLEDB.1;Integrated "
                                           "Security=SSPI;Persist Security Info=False;Initial "
                                           "Catalog=Northwind"),
                            frame);
    hint->setObjectName(QStringLiteral("lblConnectionStringHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return frame;
}

DataSourceChoice DataSourcePage::choice() const {
    DataSourceChoice choice;
    choice.option = selectedOption();
    choice.dataFile = m_txtDataSource->text();
    choice.fileLogin = m_txtDatabaseLogin->text();
    choice.filePassword = m_txtDatabasePassword->text();
    choice.dsn = m_icbDataSource->currentIndex() >= 0 ? m_icbDataSource->currentText() : QString();
    choice.dsnLogin = m_txtODBCLogin->text();
    choice.dsnPassword = m_txtODBCPassword->text();
    choice.connectionString = m_txtConnectionString->text();
    return choice;
}

int DataSourcePage::selectedOption() const {
    for (size_t i = 0; i < m_optDataSource.size(); ++i) {
        if (m_optDataSource[i]->isChecked())
            return static_cast<int>(i);
    }
    return 0;
}

void DataSourcePage::selectOption(int index) {
    if (index >= 0 && index < static_cast<int>(m_optDataSource.size()))
        m_optDataSource[static_cast<size_t>(index)]->setChecked(true);
}

void DataSourcePage::showFrame(int datasourceStatus) {
    for (size_t i = 0; i < m_fraDataSource.size(); ++i)
        m_fraDataSource[i]->setVisible(static_cast<int>(i) + 1 == datasourceStatus);
}

void DataSourcePage::focus(DataSourceStep::Focus focus) {
    switch (focus) {
    case DataSourceStep::Focus::DataFile:
        m_txtDataSource->setFocus();
        break;
    case DataSourceStep::Focus::DsnList:
        m_icbDataSource->setFocus();
        break;
    case DataSourceStep::Focus::ConnectionString:
        m_txtConnectionString->setFocus();
        break;
    }
}

void DataSourcePage::populateDataSources() {
    Trap(QStringLiteral("frmMain.PopulateDataSource"), [&] {
        m_icbDataSource->clear();
        SettingsStore registry;
        registry.setClassKey(HKEY_LOCAL_MACHINE);
        registry.setSectionKey(QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"));
        QStringList names;
        std::int32_t count = 0;
        registry.enumerateValues(names, count);
        for (const QString& name : std::as_const(names))
            m_icbDataSource->addItem(iconFor(QStringLiteral("DSN")), name);
        m_icbDataSource->setCurrentIndex(-1);
    });
}

void DataSourcePage::selectDataSource(const QString& name) {
    const int index = m_icbDataSource->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        m_icbDataSource->setCurrentIndex(index);
}

} // namespace ordwick
