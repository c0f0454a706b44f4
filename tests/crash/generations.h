#ifndef TARVIK_TESTS_CRASH_GENERATIONS_H_
#define TARVIK_TESTS_CRASH_GENERATIONS_H_

#include <string>

#include "data/data_source.h"

// The logs of the crash test: generation g is a fixed function of g, in
// which every record differs from the generation before and the number of
// records varies, so that any mix of two generations shows.
namespace tarvik::testing {

// Changes `store` into generation `generation`, in place: records removed
// from the end or appended, every field set.
void make_generation(DataSource& store, long generation);

// The exact text of generation `generation` as the writer writes it.
std::string generation_text(long generation);

// The generation a store read from such a log holds, or -1.
long generation_of(DataSource& store);

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_CRASH_GENERATIONS_H_
