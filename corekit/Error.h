// corekit::Error: the exception of the utility library, also thrown by the
// application for its own failures. A plain value type, thrown and caught by value.
#pragma once

#include <string>

namespace corekit {

class Error {
public:
    Error();
    explicit Error(long code);
    Error(const char* message);
    Error(char* message);
    Error(const std::string& message);
    Error(long code, const std::string& message);
    Error(const std::string& message, const std::string& module);
    Error(const Error& other) = default;
    Error& operator=(const Error& other) = default;

    long long getError() const { return err; }

    // "Error: " followed by the text of the code (or the message for code 0),
    // then "(module)" when a module name is set.
    std::string getErrorMsg() const;

    long long err;
    std::string errMsg;
    std::string moduleName;
};

}  // namespace corekit
