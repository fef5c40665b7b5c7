#pragma once
// The Knowledge Base command template: text with "%s" conversions filled
// from a few string arguments. The template is the user's own text, so it is
// interpreted here and never handed to a formatting function of the runtime.
//
//   %%                       one percent sign
//   %[index:][-][width][.precision]s   (s or S)
//
// An index (0, 1, ...) picks the argument, and the conversions after it go on
// from there; "-" pads on the right instead of the left; the width pads with
// blanks; the precision cuts the argument to that many characters. A
// conversion that the template ends in the middle of is dropped. Any other
// conversion letter, a conversion without an argument, and a width or
// precision above kMaxCommandFieldWidth make the template invalid.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Larger fields would only build huge commands out of a typing slip.
inline constexpr int kMaxCommandFieldWidth = 1024;

// The formatting error: its message is what the general error report shows.
class EFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Result, or nullopt when the template is invalid for these arguments.
std::optional<std::string> TryFormatCommand(std::string_view pattern,
                                            const std::vector<std::string>& args);
// The same, raising EFormatError when invalid, with the message
// "Format '<pattern>' invalid or incompatible with argument".
std::string FormatCommand(std::string_view pattern, const std::vector<std::string>& args);
