#pragma once

// Errors that reach the central error handler. A serial port error is shown to
// the operator in a message box; an operator error in the console's status
// line and, when work would be lost, in a message box too; every other error is
// dropped there.

#include <stdexcept>
#include <string>
#include <utility>

namespace kuzelna {

class SerialPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure the operator must act on (a file not saved, a value not taken).
// Texts are Windows-1250: `status` fits the status line, what() says all.
class OperatorError : public std::runtime_error {
public:
    OperatorError(const std::string& text, std::string status, bool workAtRisk)
        : std::runtime_error(text), status_(std::move(status)), workAtRisk_(workAtRisk) {}
    const std::string& status() const { return status_; }
    // Work would be lost unless the operator acts: a message box as well.
    bool workAtRisk() const { return workAtRisk_; }

private:
    std::string status_;
    bool workAtRisk_;
};

} // namespace kuzelna
