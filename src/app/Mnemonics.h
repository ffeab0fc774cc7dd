#pragma once

#include <QStringList>

namespace dunstrel {

// The captions of one menu, or of the menu bar, each with an Alt+letter of its own marked by an
// ampersand: the first letter of a word that no caption before it took, else any such letter or
// digit; a caption whose letters are all taken gets none. Ampersands of the captions themselves
// are doubled so that they show as written. Works for any language, since the letters are
// picked from the translated captions.
QStringList WithMnemonics(const QStringList& Captions);

}  // namespace dunstrel
