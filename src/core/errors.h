#pragma once

// Errors that reach the central error handler. A serial port error is shown to
// the operator in a message box; every other error is dropped there.

#include <stdexcept>
#include <string>

namespace kuzelna {

class SerialPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kuzelna
