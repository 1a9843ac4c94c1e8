#include "gui/io/standard_streams.h"

namespace visual {

// A Windows handle is never reused as a standard stream by opening a file, so there is nothing
// to guard.
void guardStandardStreams() {}

}  // namespace visual
