#include "platform/console/CommandLine.h"

#include <algorithm>
#include <cstddef>

namespace kw {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view SkipBlanks(std::string_view text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return text.substr(static_cast<std::size_t>(first - text.begin()));
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Reads the program word from the start of `text`; returns where the rest begins.
std::size_t ReadProgramWord(std::string_view text, std::string& word)
{
    bool quoted = false;
    std::size_t i = 0;
    for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else
            word += text[i];
    }
    return i;
}

// Reads one argument starting at a non-blank; returns where it ended.
std::size_t ReadArgument(std::string_view text, std::size_t i, std::string& argument)
{
    bool quoted = false;
    while (i < text.size() && (quoted || !IsBlank(text[i]))) {
        std::size_t backslashes = 0;
        while (i < text.size() && text[i] == '\\') {
            ++backslashes;
            ++i;
        }
        if (i < text.size() && text[i] == '"') {
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
            } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                argument += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
        } else {
            argument.append(backslashes, '\\');
            if (i < text.size() && (quoted || !IsBlank(text[i])))
                argument += text[i++];
        }
    }
    return i;
}

// The first word of a line, up to a blank, for recognising our own commands.
std::string_view FirstWord(std::string_view text)
{
    const auto end = std::find_if(text.begin(), text.end(), IsBlank);
    return text.substr(0, static_cast<std::size_t>(end - text.begin()));
}

bool ParsePath(std::string_view text, ScriptCommand& command)
{
    constexpr std::string_view word = "path";
    if (text.size() < word.size() || !EqualsIgnoringCase(text.substr(0, word.size()), word))
        return false;
    const std::string_view rest = text.substr(word.size());
    if (rest.empty() || SkipBlanks(rest).empty()) {
        // "path " with only blanks after it sets an empty value, as "path=" does.
        command.kind = rest.empty() ? ScriptCommand::Kind::ShowPath : ScriptCommand::Kind::SetPath;
        return true;
    }
    if (rest.front() == '=') {
        command.kind = ScriptCommand::Kind::SetPath;
        command.pathValue = std::string(rest.substr(1));
        return true;
    }
    if (IsBlank(rest.front())) {
        command.kind = ScriptCommand::Kind::SetPath;
        command.pathValue = std::string(SkipBlanks(rest));
        return true;
    }
    return false;
}

} // namespace

std::vector<std::string> SplitArguments(std::string_view text)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i == text.size())
            return arguments;
        std::string argument;
        i = ReadArgument(text, i, argument);
        arguments.push_back(std::move(argument));
    }
}

ProgramCall SplitCommandLine(std::string_view line)
{
    ProgramCall call;
    const std::string_view text = SkipBlanks(line);
    const std::size_t rest = ReadProgramWord(text, call.program);
    call.arguments = SplitArguments(text.substr(rest));
    return call;
}

ScriptCommand ParseScriptLine(std::string_view line)
{
    ScriptCommand command;
    std::string_view text = SkipBlanks(line);
    command.echo = text.empty() || text.front() != '@';
    while (!text.empty() && (text.front() == '@' || IsBlank(text.front())))
        text.remove_prefix(1);
    if (text.empty()) {
        command.echo = false;
        return command;
    }
    if (ParsePath(text, command))
        return command;
    if (EqualsIgnoringCase(FirstWord(text), "pause")) {
        command.kind = ScriptCommand::Kind::Pause;
        return command;
    }
    command.kind = ScriptCommand::Kind::Run;
    command.call = SplitCommandLine(text);
    return command;
}

std::vector<std::string> SplitScriptLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    }
    return lines;
}

} // namespace kw
