#include "app/StartupOptions.h"

#include <charconv>

namespace rf {

StartupOptions ParseStartupOptions(const std::vector<std::string>& args) {
    StartupOptions options;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.showHelp = true;
        } else if (arg == "--language" || arg.starts_with("--language=")) {
            std::string value;
            if (arg == "--language") {
                if (i + 1 >= args.size()) {
                    options.error = "--language needs a language id, such as 1033 or 2052";
                    return options;
                }
                value = args[++i];
            } else {
                value = arg.substr(arg.find('=') + 1);
            }
            unsigned id = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), id);
            if (ec != std::errc() || end != value.data() + value.size() || id == 0 || id > 0xFFFF) {
                options.error = "not a language id: " + value;
                return options;
            }
            options.languageId = static_cast<std::uint16_t>(id);
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
