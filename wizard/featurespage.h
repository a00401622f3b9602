#pragma once

#include "wizard/featurestep.h"

#include <QWidget>

class QCheckBox;

namespace ordwick {

// The eight feature boxes of the "Select Features" step and "Select All Features".
class FeaturesPage final : public QWidget {
    Q_OBJECT
public:
    explicit FeaturesPage(QWidget* parent = nullptr);

    Features features() const;
    void setFeatures(const Features& features);
    void onSelectAllToggled();

    QCheckBox* box(const char* objectName) const;

private:
    QCheckBox* m_chkAdd;
    QCheckBox* m_chkEdit;
    QCheckBox* m_chkDelete;
    QCheckBox* m_chkSearch;
    QCheckBox* m_chkAdvancedSearch;
    QCheckBox* m_chkSort;
    QCheckBox* m_chkPage;
    QCheckBox* m_chkLogin;
    QCheckBox* m_chkSelectAllFeatures;
};

} // namespace ordwick
