#pragma once

namespace dunstrel::bench {

// The time of one fixed task, sorting 10 million pseudo-random 64-bit integers, in milliseconds.
// Benches print it beside their own times so that figures from different machines, or from one
// machine under different loads, can be set side by side.
double MachineReferenceMs();

}  // namespace dunstrel::bench
