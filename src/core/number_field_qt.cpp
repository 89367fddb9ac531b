#include "core/number_field_qt.h"

#include "core/text_qt.h"

namespace kuzelna {

NumberFieldValidator::NumberFieldValidator(Rule accepts, QObject* parent)
    : QValidator(parent), accepts_(std::move(accepts)) {}

QValidator::State NumberFieldValidator::validate(QString& input, int&) const {
    if (accepts_(toCp1250(input))) return Acceptable;
    const QString rest = input.trimmed();
    if (rest.isEmpty() || rest == QLatin1String("+") || rest == QLatin1String("-")) return Intermediate;
    return Invalid;
}

} // namespace kuzelna
