#include "common/ErrorText.h"

#include <memory>
#include <string_view>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace dunstrel {

namespace {

std::string TypeName(const std::exception& Error) {
  const char* Raw = typeid(Error).name();
#if defined(__GNUG__)
  int Status = 0;
  const std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Raw, nullptr, nullptr, &Status), &std::free);
  std::string Name = Status == 0 && Demangled ? Demangled.get() : Raw;
#else
  std::string Name = Raw;
  for (const std::string_view Keyword : {"class ", "struct "}) {
    if (Name.starts_with(Keyword)) {
      Name.erase(0, Keyword.size());
    }
  }
#endif
  // The program's own errors are known by their plain names.
  constexpr std::string_view kOwnNamespace = "dunstrel::";
  if (Name.starts_with(kOwnNamespace)) {
    Name.erase(0, kOwnNamespace.size());
  }
  return Name;
}

}  // namespace

std::string DescribeError(const std::exception& Error) {
  return TypeName(Error) + ": " + Error.what();
}

}  // namespace dunstrel
