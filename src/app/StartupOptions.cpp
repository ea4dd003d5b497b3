#include "app/StartupOptions.h"

#include <charconv>

namespace rf {

namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

} // namespace

StartupOptions ParseStartupOptions(const std::vector<std::string>& args) {
    StartupOptions options;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        const auto eq = arg.find('=');
        if (arg.starts_with("--") && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg == "--language" || arg == "--page" || arg == "--screenshot" ||
                   arg == "--screenshot-delay") {
            if (i + 1 >= args.size()) {
                options.error = arg + " needs a value";
                return options;
            }
            value = args[++i];
        }
        int number = 0;
        if (arg == "--help" || arg == "-h") {
            options.showHelp = true;
        } else if (arg == "--version") {
            options.showVersion = true;
        } else if (arg == "--search") {
            options.search = true;
        } else if (arg == "--maximised") {
            options.maximised = true;
        } else if (arg == "--language") {
            if (!ParseInt(value, 1, 0xFFFF, number)) {
                options.error = "not a language id: " + value;
                return options;
            }
            options.languageId = static_cast<std::uint16_t>(number);
        } else if (arg == "--page") {
            if (!ParseInt(value, 1, 0xFFFF, number)) {
                options.error = "not a page id: " + value;
                return options;
            }
            options.pageId = number;
        } else if (arg == "--screenshot") {
            options.screenshotPath = value;
        } else if (arg == "--screenshot-delay") {
            if (!ParseInt(value, 0, 600000, number)) {
                options.error = "not a delay in milliseconds: " + value;
                return options;
            }
            options.screenshotDelayMs = number;
        } else if (arg.starts_with("-platform") || arg.starts_with("-style") || arg.starts_with("-qwindow")) {
            ++i; // Qt's own options and their values
        } else {
            options.error = "unknown option: " + arg;
            return options;
        }
    }
    return options;
}

} // namespace rf
