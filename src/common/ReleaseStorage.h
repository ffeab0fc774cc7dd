#pragma once

namespace dunstrel {

// Empties a container and gives its storage back. clear() and `= {}` keep a vector's array and a
// hash table's buckets at the largest size they have held, which after a scan of millions of
// files is memory the next, smaller scan never needs.
template <typename TContainer>
void ReleaseStorage(TContainer& Container) {
  TContainer().swap(Container);
}

}  // namespace dunstrel
