#pragma once

#include <QLatin1String>

namespace dunstrel {

// A control under the name it is known by, which tests and the window find it by.
template <typename TObject>
TObject* Named(TObject* Object, const char* Name) {
  Object->setObjectName(QLatin1String(Name));
  return Object;
}

}  // namespace dunstrel
