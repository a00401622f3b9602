#pragma once

#include <QString>
#include <array>

namespace ordwick {

constexpr int kStepCount = 10;
constexpr int kFinishStep = 10;

struct StepInfo {
    QString frameCaption;  // caption of fraStep(step - 1)
    QString statusCaption; // what lblStepStatus shows
};

// The ten steps, by step number 1..10.
const StepInfo& stepInfo(int step);

struct TaskPaneItem {
    QString key;
    QString caption;
};

// The step items of the task pane's "Home" bar, in step-number order: item i
// stands for step i, so the highlight always names the step on screen.
const std::array<TaskPaneItem, kStepCount>& homeBarItems();

// Where Next and Back lead. The login step is skipped both ways when the
// project has no login page; the search step is skipped only going forward,
// when neither search feature is chosen.
int stepAfter(int step, bool loginPage, bool searchPage = true);
int stepBefore(int step, bool loginPage);

} // namespace ordwick
