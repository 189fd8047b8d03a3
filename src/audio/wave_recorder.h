#pragma once
// Records the capture device into a headerless 16-bit file between a start
// and a stop. One recording at a time per process.

#include <string>

#include "audio/recording_format.h"

class CaptureDevice;
using DeviceHandle = CaptureDevice*;

// Starts recording into `fileName`; stores the open device in `*deviceHandle`.
void StartRecording(const std::wstring& fileName, RecordingFormat format, DeviceHandle* deviceHandle);

// Ends the recording; when it returns the device and the file are closed.
void StopRecording(DeviceHandle deviceHandle);

// True when anything went wrong since the last StartRecording (no device, a
// device error, a file that could not be created or written). Unlike the
// recorder's last status, this is never cleared by a later successful step.
bool RecordingFailed();

// Why the last StartRecording could not get the recording going, in words
// for the user; empty when it did.
std::string RecordingStartProblem();
