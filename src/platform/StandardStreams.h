#pragma once

// The three standard streams of a program.
namespace dividra::platform {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later can become its input or output. Call first thing in main().
void ReopenClosedStandardStreams();

} // namespace dividra::platform
