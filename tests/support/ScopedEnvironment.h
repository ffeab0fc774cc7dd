#pragma once

#include <cstdlib>
#include <string>

namespace dunstrel::testing {

// Sets an environment variable for the lifetime of the object.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* Name, const std::string& Value) : FName(Name) {
    const char* Previous = std::getenv(Name);
    FHadPrevious = Previous != nullptr;
    FPrevious = FHadPrevious ? Previous : "";
    setenv(Name, Value.c_str(), 1);
  }
  ~TScopedEnvironment() {
    if (FHadPrevious) {
      setenv(FName.c_str(), FPrevious.c_str(), 1);
    } else {
      unsetenv(FName.c_str());
    }
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  std::string FName;
  std::string FPrevious;
  bool FHadPrevious;
};

}  // namespace dunstrel::testing
