#include "wizard/wizardsteps.h"

#include <QtGlobal>

namespace ordwick {

namespace {

constexpr int kColumnCustomizationStep = 6;
constexpr int kSearchStep = 7;
constexpr int kLayoutStep = 8;
constexpr int kLoginStep = 9;

} // namespace

const StepInfo& stepInfo(int step) {
    static const std::array<StepInfo, kStepCount> steps = {{
        {QStringLiteral("Select Data Source"), QStringLiteral("Select Data Source")},
        {QStringLiteral("Select Features"), QStringLiteral("Select Features")},
        {QStringLiteral("Select Data Source"), QStringLiteral("Select Table Source")},
        {QStringLiteral("Query Customization"), QStringLiteral("Query Customization")},
        {QStringLiteral("Column Order"), QStringLiteral("Column Order")},
        {QStringLiteral("Column Customization"), QStringLiteral("Column Customization")},
        {QStringLiteral("Search"), QStringLiteral("Search Options")},
        {QStringLiteral("Layout"), QStringLiteral("Form Layout")},
        {QStringLiteral("Login Page"), QStringLiteral("Login")},
        {QStringLiteral("Finish"), QStringLiteral("Finish")},
    }};
    return steps.at(static_cast<size_t>(qBound(1, step, kStepCount) - 1));
}

const std::array<TaskPaneItem, kStepCount>& homeBarItems() {
    static const std::array<TaskPaneItem, kStepCount> items = {{
        {QStringLiteral("Data Source"), QStringLiteral("Select Datasource")},
        {QStringLiteral("Features"), QStringLiteral("Select Features")},
        {QStringLiteral("Table Source"), QStringLiteral("Select Table Source")},
        {QStringLiteral("Query Customization"), QStringLiteral("Query Customization")},
        {QStringLiteral("Column Order"), QStringLiteral("Column Order")},
        {QStringLiteral("Column Customization"), QStringLiteral("Column Customization")},
        {QStringLiteral("Simple Search"), QStringLiteral("Simple Search")},
        {QStringLiteral("Layout"), QStringLiteral("Layout")},
        {QStringLiteral("Login"), QStringLiteral("Login")},
        {QStringLiteral("Finish"), QStringLiteral("Finish")},
    }};
    return items;
}

int stepAfter(int step, bool loginPage, bool searchPage) {
    if (step == kColumnCustomizationStep && !searchPage)
        return kSearchStep + 1;
    if (step == kLayoutStep && !loginPage)
        return kFinishStep;
    return qMin(step + 1, kFinishStep);
}

int stepBefore(int step, bool loginPage) {
    if (step == kFinishStep && !loginPage)
        return kLayoutStep;
    return qMax(step - 1, 1);
}

} // namespace ordwick
