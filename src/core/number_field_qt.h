#pragma once

// An edit that takes only the numbers a rule of the engine accepts: a key that
// would make anything else is refused as it is typed. Blank text and a lone
// sign pass, so that a number can be typed anew.

#include <QValidator>

#include <functional>
#include <string_view>

namespace kuzelna {

class NumberFieldValidator : public QValidator {
public:
    using Rule = std::function<bool(std::string_view)>;
    NumberFieldValidator(Rule accepts, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    Rule accepts_;
};

} // namespace kuzelna
