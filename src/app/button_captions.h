#pragma once
// Captions of the two recording buttons. A button's caption is the state of
// its command: the first press starts a recording, the second stops it.

inline constexpr const wchar_t* kTrainCaption = L"Add/Train word";
inline constexpr const wchar_t* kRecognizeCaption = L"Recognize word";
inline constexpr const wchar_t* kStopRecordingCaption = L"Stop Recording";
// While the words are trained again before a recognition, because the last
// training run did not complete.
inline constexpr const wchar_t* kRetrainingCaption = L"Retraining words...";
