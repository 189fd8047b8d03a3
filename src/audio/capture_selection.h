#pragma once
// Chooses where recordings come from:
//   "portaudio"        the default input device through PortAudio
//   "portaudio:NAME"   the PortAudio input device called NAME
//   "file:PATH"        the contents of an audio file, delivered as if spoken
//   "none"             no capture device

#include <string>

// Selects the backend for the recordings that follow. Returns an empty string
// on success, otherwise a message saying what is wrong with `spec`.
std::string SelectCaptureDevice(const std::string& spec);

// Checks `spec` as SelectCaptureDevice would, without selecting anything:
// the file of "file:PATH" is read, no device is opened. Returns an empty
// string on success, otherwise the message SelectCaptureDevice would give.
std::string CheckCaptureSpec(const std::string& spec);

// Checks that `path` is an audio file the file backend can deliver. Returns an
// empty string on success, otherwise a message naming the problem.
std::string CheckCaptureFile(const std::string& path);

// Blocks until an open file device has delivered all of its audio; returns at
// once for the other backends or when no device is open.
void WaitForEndOfInput();
