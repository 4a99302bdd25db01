#include "Error.h"

namespace corekit {

Error::Error() : err(0) {}
Error::Error(long code) : err(code) {}
Error::Error(const char* message) : err(0), errMsg(message ? message : "") {}
Error::Error(char* message) : err(0), errMsg(message ? message : "") {}
Error::Error(const std::string& message) : err(0), errMsg(message) {}
Error::Error(long code, const std::string& message) : err(code), errMsg(message) {}
Error::Error(const std::string& message, const std::string& module)
    : err(0), errMsg(message), moduleName(module) {}

std::string Error::getErrorMsg() const
{
    std::string text = "Error: ";
    switch (err) {
    case 0:
        text += errMsg.empty() ? std::string("Unknown error") : errMsg;
        break;
    case 2:
        text += "Out of memory";
        break;
    case 3:
        text += "Database-access failed";
        break;
    case 4:
        text += "File-IO error";
        break;
    default:
        break;
    }
    if (!moduleName.empty())
        text += "(" + moduleName + ")";
    return text;
}

}  // namespace corekit
