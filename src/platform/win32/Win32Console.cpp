#include <io.h>

#include <cstdio>

#include "platform/Console.h"

namespace dunstrel::platform {

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace dunstrel::platform
