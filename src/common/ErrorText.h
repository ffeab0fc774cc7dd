#pragma once

#include <exception>
#include <string>

namespace dunstrel {

// "TypeName: message", the form in which failure messages name an error.
std::string DescribeError(const std::exception& Error);

}  // namespace dunstrel
