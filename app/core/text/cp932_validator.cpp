#include "app/core/text/cp932_validator.h"

#include "common/platform/qt_text.h"

namespace tnw::app {

Cp932Validator::Cp932Validator(int maxBytes, QString forbidden, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes), m_forbidden(std::move(forbidden))
{
}

bool Cp932Validator::accepts(const QString& text) const
{
    for (QChar c : m_forbidden) {
        if (text.contains(c))
            return false;
    }
    const int bytes = platform::cp932Length(text);
    return bytes >= 0 && bytes <= m_maxBytes;
}

QValidator::State Cp932Validator::validate(QString& input, int& /*pos*/) const
{
    return accepts(input) ? Acceptable : Invalid;
}

}  // namespace tnw::app
