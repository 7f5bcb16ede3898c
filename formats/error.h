#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace formats {

// An error of the XML or table layer. The message is UTF-8 Spanish text for the user: it names the file,
// table or field and says what went wrong.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Input that is missing or that the program will not take (a work folder that does not exist or that
// another run holds): the run ends refused, as for a missing document, not failed.
class Refusal : public Error {
public:
    // `details`: a second line for who wants to know more (the path and what is wrong with it).
    explicit Refusal(const std::string& message, std::string details = {})
        : Error(message), details_(std::move(details)) {}
    const std::string& details() const { return details_; }

private:
    std::string details_;
};

// A path as shown in a message.
std::string shown(const std::filesystem::path& path);

}  // namespace formats
