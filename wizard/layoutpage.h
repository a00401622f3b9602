#pragma once

#include "wizard/layoutstep.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ordwick {

// The "Form Layout" step: print and export links, records per page, the
// initial order, the "more..." link and the template.
class Prompt;
class TemplateChoiceWidget;

class LayoutPage final : public QWidget {
    Q_OBJECT
public:
    LayoutPage(Prompt& prompt, QWidget* parent = nullptr);

    // Shows the choice; paging and sorting controls follow their features but
    // keep their values when disabled.
    void fill(const LayoutChoice& choice, bool pageSupport, bool initialSort);
    LayoutChoice choice() const;
    void onSelectAllToggled();

    QCheckBox* chkPrinterFriendlyVersion() const { return m_chkPrinterFriendlyVersion; }
    QCheckBox* chkExportTo() const { return m_chkExportTo; }
    QCheckBox* chkRecordsPerPage() const { return m_chkRecordsPerPage; }
    QComboBox* icbRecordsPerPage() const { return m_icbRecordsPerPage; }
    QCheckBox* chkInitialOrderBy() const { return m_chkInitialOrderBy; }
    QPushButton* cmdInitialOrderBy() const { return m_cmdInitialOrderBy; }
    QCheckBox* chkMoreLink() const { return m_chkMoreLink; }
    QLineEdit* txtMoreLink() const { return m_txtMoreLink; }
    QComboBox* icbTemplate() const;
    TemplateChoiceWidget& templates() const { return *m_templates; }
    QCheckBox* chkSelectAll() const { return m_chkSelectAll; }

Q_SIGNALS:
    void orderDetailsRequested();

private:
    QCheckBox* m_chkPrinterFriendlyVersion;
    QCheckBox* m_chkExportTo;
    QCheckBox* m_chkRecordsPerPage;
    QComboBox* m_icbRecordsPerPage;
    QCheckBox* m_chkInitialOrderBy;
    QPushButton* m_cmdInitialOrderBy;
    QCheckBox* m_chkMoreLink;
    QLineEdit* m_txtMoreLink;
    // Made before the templates: the Tab order follows the order on screen.
    QCheckBox* m_chkSelectAll;
    TemplateChoiceWidget* m_templates;
};

} // namespace ordwick
