// The parsed command line of the program. "--name value" is an option when the
// next argument does not begin with "--", otherwise "--name" is a flag; every
// other argument is kept as a plain argument. Owned by the entry point.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class CommandLine {
public:
    // Parses argv[1] to argv[argc-1]; argv[0] is ignored.
    CommandLine(int argc, char** argv);

    bool hasFlag(const std::string& name) const;
    bool hasOption(const std::string& name) const;
    std::string getOption(const std::string& name, const std::string& defaultValue) const;
    const std::vector<std::string>& getArguments() const { return m_arguments; }

private:
    // Flag names without "--", in command-line order; repeated names repeat.
    std::vector<std::string> m_flags;
    // Option name (without "--") to value; a later occurrence overwrites.
    std::unordered_map<std::string, std::string> m_options;
    // Plain arguments, in command-line order.
    std::vector<std::string> m_arguments;
};
