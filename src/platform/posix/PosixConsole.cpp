#include <unistd.h>

#include "platform/Console.h"

namespace dunstrel::platform {

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace dunstrel::platform
