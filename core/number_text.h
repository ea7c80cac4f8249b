#pragma once

// Numbers as the user reads and types them: the shortest decimal text that reads
// back to the value held.

#include <string>

namespace tapwright {

// The shortest text that reads back (as a float, or as a double) to exactly `value`;
// either zero gives "0". `value` must be finite.
std::string ShortestText(float value);
std::string ShortestText(double value);

// A double shown at the precision it was stored with: one that is exactly a 32-bit
// float (as every real read from a spec file is) gives that float's shortest text,
// "0.1" rather than "0.100000001490116"; any other gives its own shortest text.
// `value` must be finite.
std::string StoredValueText(double value);

}  // namespace tapwright
