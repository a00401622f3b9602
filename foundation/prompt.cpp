#include "foundation/prompt.h"

namespace ordwick {

void Prompt::warning(const QString& text, const QString& title) {
    show({title, text, Icon::Warning, Buttons::Ok, {}});
}

bool Prompt::question(const QString& text, const QString& title) {
    return show({title, text, Icon::Question, Buttons::YesNo, {}}) == Yes;
}

} // namespace ordwick
