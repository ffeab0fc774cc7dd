#pragma once

namespace dunstrel::platform {

// True when standard error is a terminal a person watches, not a file or a pipe.
bool StandardErrorIsTerminal();

}  // namespace dunstrel::platform
