#pragma once
// Text helpers shared by the vocabulary, dictionary, training and recognition
// subsystems. Nothing here depends on the process locale: the window sets the
// user's locale, and a comma-decimal locale must not change how files read.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Wide text to 8-bit UTF-8 text. Characters U+DC80..U+DCFF stand for bytes
// that were not valid UTF-8 when read and are written back as those bytes, so
// reading and writing a file gives it back byte for byte.
std::string ToNarrowText(std::wstring_view wide);

// 8-bit UTF-8 text to wide text; each invalid byte b becomes U+DC00 + b.
std::wstring ToWideText(std::string_view narrow);

// `text` with its control characters (C0, DEL, C1) written as visible escapes
// ("\n", "\r", "\t", "\x1b", "\u009b") and bytes that were not valid UTF-8
// as "\xNN", for quoting user input in a message: it can then neither split
// the message's line nor steer the terminal.
std::wstring EscapeControlCharacters(std::wstring_view text);
std::string EscapeControlCharacters(std::string_view text);

// Returns the next token of `text` from `position` and moves `position` past
// it. Delimiters at the position are skipped; the token runs to the next
// delimiter or the end. An empty result means no token is left.
std::wstring NextToken(std::wstring_view text, std::wstring_view delimiters, std::size_t& position);

// Decimal text of an integer, with a leading "-" for negatives.
std::string IntToText(long long value);

// Decimal integer at the start of `text`: leading white space, optional sign,
// digits up to the first other character; 0 when there are none. Values
// beyond the 32-bit range saturate.
std::int32_t TextToInt(std::string_view text);

// Decimal floating-point number at the start of `text` (white space, sign,
// digits, fraction, exponent); 0.0 when there is no number. A number beyond
// the range of a double gives infinity, one too small for it gives 0.0.
double TextToDouble(std::string_view text);

// General-format text with at most `significantDigits` significant digits.
std::string DoubleToText(double value, int significantDigits);

// Creates the file `name` for reading and writing, emptying one that exists,
// but never through a symbolic link: a link planted in its place is refused,
// so nothing the program writes lands outside its folder. Returns the open
// descriptor or stream; -1 or null, with the reason on stderr and in errno,
// when the file cannot be created.
int CreateFileDescriptor(const char* name);
std::FILE* CreateFile(const char* name);

// Writes all of `data` to `fd`, going on after interruptions; false, with
// the reason in errno, when a write fails or makes no progress.
bool WriteAll(int fd, std::string_view data);

// Writes `contents` over the file `name` from its start, creating it if
// need be, and cuts it to their length; never through a symbolic link, as
// CreateFile. For the small files that every recognition writes again: the
// file system (ext4) writes a file that was emptied and rewritten out to the
// disk as soon as it is closed, and a new file costs an inode, which ext4
// without a journal finds only past the ones freed in the last minute; a
// file written over in place waits to go out with the rest. False, with the
// reason on stderr, when it cannot be written.
bool OverwriteFile(const char* name, std::string_view contents);

// Removes `name` if it is a regular file, so that CreateFile makes a new
// file rather than emptying the old one (see OverwriteFile). Anything else
// in its place (a link, a folder) stays for CreateFile to refuse.
void RemoveRegularFile(const char* name);

// Reads text lines of any length. A line ends at a line feed; a carriage
// return just before it is dropped; the last line needs no line feed.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}
    // False at the end of the file; otherwise `line` holds the next line.
    bool ReadLine(std::string& line);

private:
    std::FILE* file_;
};
