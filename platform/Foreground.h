#pragma once

// Lets the running instance take the foreground when a second start asks it to.
namespace Foreground {

void allowOtherProcess();

} // namespace Foreground
