#include "CliCompletion.h"

#include "CliCommand.h"
#include "DeviceOutput.h"
#include "EditDistance.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <sstream>

namespace rf {
namespace {

// The words of a synopsis without its brackets.
std::vector<std::string> SynopsisWords(std::string_view synopsis) {
    std::string plain(synopsis);
    std::ranges::replace(plain, '[', ' ');
    std::ranges::replace(plain, ']', ' ');
    std::istringstream in(plain);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// The literal choices of a word such as mac|ip|name or N|auto (the lower-case ones); none for a
// placeholder such as MAC or S.
std::vector<std::string> Choices(const std::string& word) {
    std::vector<std::string> choices;
    std::istringstream in(word);
    for (std::string part; std::getline(in, part, '|');) {
        if (!part.empty() && std::ranges::all_of(part, [](char c) { return c >= 'a' && c <= 'z'; })) {
            choices.push_back(part);
        }
    }
    return choices;
}

struct OptionWords {
    bool takesValue = false;
    std::vector<std::string> choices; // of the value, when the synopsis lists them
};

struct CommandWords {
    std::vector<std::string> first; // choices right after the verb
    std::map<std::string, OptionWords> options;
};

CommandWords WordsOf(const CliCommand& command) {
    const std::vector<std::string> words = SynopsisWords(command.synopsis);
    CommandWords out;
    if (words.size() > 1) {
        out.first = Choices(words[1]);
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (!words[i].starts_with("--")) {
            continue;
        }
        OptionWords& option = out.options[words[i]];
        if (i + 1 < words.size() && !words[i + 1].starts_with('-') && words[i + 1] != "|") {
            option.takesValue = true;
            std::ranges::copy(Choices(words[i + 1]), std::back_inserter(option.choices));
        }
    }
    out.options["--help"];
    return out;
}

std::vector<std::string> Verbs() {
    std::vector<std::string> verbs;
    for (const CliCommand& command : CliCommandTable()) {
        if (!command.synopsis.empty()) {
            verbs.emplace_back(command.verb);
        }
    }
    return verbs;
}

} // namespace

std::vector<std::string> CliCompletions(const std::vector<std::string>& typed) {
    if (typed.empty()) {
        std::vector<std::string> all = Verbs();
        all.insert(all.end(), {"--help", "--version"});
        return all;
    }
    const CliCommand* command = FindCliCommand(typed.front());
    if (command == nullptr) {
        return {};
    }
    if (command->verb == "help") {
        return typed.size() == 1 ? Verbs() : std::vector<std::string>{};
    }
    const CommandWords words = WordsOf(*command);
    const auto option = words.options.find(typed.back());
    if (option != words.options.end() && option->second.takesValue) {
        return option->second.choices;
    }
    std::vector<std::string> out = typed.size() == 1 ? words.first : std::vector<std::string>{};
    for (const auto& [name, unused] : words.options) {
        if (std::ranges::find(typed, name) == typed.end()) {
            out.push_back(name);
        }
    }
    return out;
}

std::string UnknownOptionText(std::string_view verb, std::string_view option) {
    std::string text = "unknown option for " + std::string(verb) + ": " + PrintableText(option);
    const CliCommand* command = FindCliCommand(verb);
    if (command == nullptr) {
        return text;
    }
    const CommandWords words = WordsOf(*command);
    std::vector<std::string_view> names;
    for (const auto& [name, unused] : words.options) {
        names.push_back(name);
    }
    const std::string_view nearest = NearestWord(option, names);
    return nearest.empty() ? text : text + "; did you mean " + std::string(nearest) + "?";
}

} // namespace rf
