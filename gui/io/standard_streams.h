#pragma once

namespace visual {

/// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file this
/// program opens later takes a standard stream's number and receives what is written there.
/// Called first thing at start.
void guardStandardStreams();

}  // namespace visual
