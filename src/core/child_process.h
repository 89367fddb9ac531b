#pragma once

// Starting another program (the office) from this one. The child gets no
// descriptor of this program but /dev/null on 0, 1 and 2: a socket or the port
// it inherited would outlive this program for as long as the child runs.

#include <string>
#include <sys/types.h>
#include <vector>

namespace kuzelna {

enum class ChildTie {
    DiesWithParent, // killed when this program ends (nobody would see what it holds)
    OwnSession,     // a session of its own: a Ctrl+C of this program's terminal spares it
};

// Forks and executes `arguments[0]` with `arguments`; the child's pid, or -1
// when no process could be made. A program that cannot be executed ends the
// child with status 127.
pid_t startChild(const std::vector<std::string>& arguments, ChildTie tie);

} // namespace kuzelna
