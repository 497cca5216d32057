#pragma once

// What the running process may do.
namespace ProcessToken {

// Runs with administrator rights (on Windows an elevated token; never on
// Linux, where the user's name already tells root apart).
bool isElevated();

} // namespace ProcessToken
