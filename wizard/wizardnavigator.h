#pragma once

#include <functional>

namespace ordwick {

class ProjectSession;

// Where Next and Back lead, and when they may go: the rules of the step
// buttons, without the buttons.
class WizardNavigator {
public:
    struct Hooks {
        // Applies and validates the step on screen; false keeps it there.
        std::function<bool(int step)> apply;
        // Puts the current step on screen.
        std::function<void()> showStep;
    };

    enum class NextResult { Moved, Refused, Finish };

    WizardNavigator(ProjectSession& session, Hooks hooks);

    // Next: applies the step and moves on; on the last step it asks to finish.
    NextResult next();
    // Back: false when there is no step before (the caller greys Back) or when
    // the step being left refuses to be applied. Steps 2 and 3 are left
    // without applying them.
    bool back();

private:
    ProjectSession& m_session;
    Hooks m_hooks;
};

} // namespace ordwick
