#pragma once

// The version the program reports (--version, the help window): the project's
// version, and the git commit it was built from when built from a checkout
// ("0.1 (git 43b400d)"). The build writes the definition.

namespace kuzelna {

const char* programVersion();

} // namespace kuzelna
