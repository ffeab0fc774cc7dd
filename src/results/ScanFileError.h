#pragma once

#include <stdexcept>

namespace dunstrel {

// A scan file that cannot be written or read: the message says what and, for a read, where.
class EScanFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace dunstrel
