#include "foundation/runtimeerror.h"

#include <utility>

namespace ordwick {

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8()) {}

} // namespace ordwick
