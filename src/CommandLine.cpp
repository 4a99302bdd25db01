#include "CommandLine.h"

#include <algorithm>
#include <cstring>

namespace {

bool startsWithDashes(const char* arg)
{
    return arg[0] == '-' && arg[1] == '-';
}

}  // namespace

CommandLine::CommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        if (startsWithDashes(arg)) {
            // Whether a name is a flag or an option depends only on what follows it.
            std::string name(arg + 2);
            if (i + 1 < argc && argv[i + 1] && !startsWithDashes(argv[i + 1])) {
                m_options[name] = argv[i + 1];
                ++i;
            } else {
                m_flags.push_back(name);
            }
        } else {
            m_arguments.emplace_back(arg);
        }
    }
}

bool CommandLine::hasFlag(const std::string& name) const
{
    return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

bool CommandLine::hasOption(const std::string& name) const
{
    return m_options.find(name) != m_options.end();
}

std::string CommandLine::getOption(const std::string& name, const std::string& defaultValue) const
{
    auto it = m_options.find(name);
    return it == m_options.end() ? defaultValue : it->second;
}
