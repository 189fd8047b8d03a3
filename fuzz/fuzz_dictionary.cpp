// The dictionary files "english.idx", "english.key" and "english.dct" (the
// input's three parts, see NextPart), then lookups and transcriptions of
// every word in the key file and of words the key file does not hold.

#include <string>
#include <vector>

#include "dictionary/pronunciation_dictionary.h"
#include "dictionary/transcription.h"
#include "fuzz_support.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchFolder();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    WriteInput("english.idx", NextPart(input));
    WriteInput("english.key", NextPart(input));
    WriteInput("english.dct", NextPart(input));
    PronunciationDictionary dictionary;
    dictionary.Load("english.idx", "english.key", "english.dct");

    std::vector<std::wstring> words = {L"hello", L"turn left", L"x", L"\u00e9t\u00e9", L"a-b"};
    const std::string keys(dictionary.keyText.begin(), dictionary.keyText.end());
    for (std::size_t start = 0; start < keys.size() && words.size() < 64;) {
        const std::size_t end = keys.find('\0', start);
        words.push_back(ToWideText(keys.substr(start, end - start)));
        start = end == std::string::npos ? keys.size() : end + 1;
    }
    for (const std::wstring& word : words) {
        dictionary.Lookup(ToNarrowText(word).c_str());
        std::vector<std::wstring> phones;
        TranscribeWord(dictionary, word, phones);
    }
    return 0;
}
