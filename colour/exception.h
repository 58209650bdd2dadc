#pragma once

#include <exception>
#include <string>

/// The base of every error that ends a command and is shown in the application's exception box.
/// The message is CP932 bytes, shown as it stands.
class Exception : public std::exception
{
public:
    explicit Exception(std::string message)
        : m_message(std::move(message))
    {
    }
    const std::string& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

/// A number text that does not read in the integer text syntax.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

/// Puts text for the first "%s" in pattern, by plain substitution: a "%" inside text has no effect.
std::string FormatWithText(const std::string& pattern, const std::string& text);
