#include "wizard/wizardnavigator.h"

#include "project/projectsession.h"
#include "wizard/wizardsteps.h"

#include <utility>

namespace ordwick {

namespace {

constexpr int kLastStepLeftWithoutApply = 3;

} // namespace

WizardNavigator::WizardNavigator(ProjectSession& session, Hooks hooks)
    : m_session(session), m_hooks(std::move(hooks)) {}

WizardNavigator::NextResult WizardNavigator::next() {
    if (m_session.currentStep >= kFinishStep)
        return NextResult::Finish;
    if (!m_hooks.apply(m_session.currentStep))
        return NextResult::Refused;
    const Project& project = m_session.project;
    m_session.currentStep = stepAfter(m_session.currentStep, project.LoginPage,
                                      project.SimpleSearch || project.AdvancedSearch);
    m_hooks.showStep();
    return NextResult::Moved;
}

bool WizardNavigator::back() {
    const int step = m_session.currentStep;
    if (step <= 1)
        return false;
    if (step > kLastStepLeftWithoutApply && !m_hooks.apply(step))
        return false;
    m_session.currentStep = stepBefore(step, m_session.project.LoginPage);
    m_hooks.showStep();
    return true;
}

} // namespace ordwick
