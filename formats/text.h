// Text inside the program: single-byte Windows-1252, kept apart from UTF-8 by its own type.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace formats {

// A text of Windows-1252 bytes. Every conversion to or from UTF-8 is an explicit call.
class AnsiString {
public:
    AnsiString() = default;
    // Takes bytes that are already Windows-1252 (from a table, or built from other AnsiStrings).
    explicit AnsiString(std::string bytes) : bytes_(std::move(bytes)) {}

    // UTF-8 -> Windows-1252; a character the code page cannot hold, or a malformed sequence, becomes "?".
    static AnsiString fromUtf8(std::string_view utf8);
    // Like fromUtf8, but nullopt when the input is not valid UTF-8.
    static std::optional<AnsiString> fromUtf8Strict(std::string_view utf8);
    std::string toUtf8() const;

    const std::string& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    unsigned char operator[](std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

    // The first `count` characters from `pos` (one character is one byte).
    AnsiString substr(std::size_t pos, std::size_t count = std::string::npos) const;
    AnsiString& operator+=(const AnsiString& other);

    friend AnsiString operator+(AnsiString a, const AnsiString& b) { return a += b; }
    friend bool operator==(const AnsiString&, const AnsiString&) = default;
    friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) {
        return a.bytes_ <=> b.bytes_;
    }

private:
    std::string bytes_;
};

// Removes every character of code 32 or less at both ends (UTF-8 and Windows-1252 agree on these).
std::string_view trimControl(std::string_view text);
AnsiString trimControl(const AnsiString& text);

// Letter-case folding of Windows-1252 letters, accented ones included.
unsigned char foldCase(unsigned char c);
AnsiString foldCase(const AnsiString& text);
bool equalsIgnoreCase(const AnsiString& a, const AnsiString& b);

// Folds A-Z only, leaving every other byte (used for command-line words and file names).
std::string asciiLower(std::string_view text);

}  // namespace formats
