#include "host/config/config_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include "host/config/display_settings.h"

namespace host {

namespace {

using Position = ConfigSource::Position;

class Reader {
  public:
    Reader(std::string file, std::string* errorLine) : file_(std::move(file)), error_(errorLine) {}

    bool Fail(Position at, std::string_view message) {
        *error_ = ErrorLine(file_, at, message);
        return false;
    }
    bool Fail(const toml::source_region& at, std::string_view message) {
        return Fail(Position{at.begin.line, at.begin.column}, message);
    }

    bool Read(const toml::table& root, PanelConfig* config, ConfigSource* source) {
        source->file = file_;
        for (auto&& [key, node] : root) {
            if (key == "display") {
                const toml::table* display = node.as_table();
                if (display == nullptr)
                    return Fail(node.source(), "display must be a [display] table");
                if (!ReadDisplay(*display, config)) return false;
            } else if (key == "screen") {
                const toml::array* screens = node.as_array();
                if (screens == nullptr || !screens->is_array_of_tables())
                    return Fail(node.source(), "screen must be [[screen]] tables");
                for (const toml::node& screen : *screens)
                    if (!ReadScreen(*screen.as_table(), config, source)) return false;
            } else {
                return Fail(key.source(), "unknown key '" + std::string(key.str()) + "'");
            }
        }
        if (config->screens.empty()) return Fail(Position{}, "no [[screen]] in the file");
        return true;
    }

  private:
    bool ReadDisplay(const toml::table& display, PanelConfig* config) {
        for (auto&& [key, node] : display) {
            const auto* text = node.as_string();
            if (key == "size") {
                int width = 0, height = 0;
                if (text == nullptr || !ParseSize(text->get(), &width, &height))
                    return Fail(node.source(),
                                "bad size " + Shown(node) + " (expected \"WxH\", e.g. \"20x4\")");
                config->width = width;
                config->height = height;
            } else if (key == "lcdproc") {
                std::string host, port, error;
                if (text == nullptr)
                    return Fail(node.source(),
                                "bad LCDd address " + Shown(node) + " (expected \"[HOST:]PORT\")");
                if (!ParseEndpoint(text->get(), &host, &port, &error))
                    return Fail(node.source(), error);
                config->lcdproc = text->get();
            } else if (key == "scroll_speed") {
                const auto* number = node.as_integer();
                if (number == nullptr || number->get() < 1 || number->get() > 8)
                    return Fail(node.source(), "bad scroll_speed " + Shown(node) +
                                                   " (1 to 8 characters per second)");
                config->longLines.speed = static_cast<int>(number->get());
            } else if (key == "long_lines") {
                if (text != nullptr && text->get() == "scroll")
                    config->longLines.mode = LongLines::kScroll;
                else if (text != nullptr && text->get() == "cut")
                    config->longLines.mode = LongLines::kCut;
                else
                    return Fail(node.source(),
                                "bad long_lines " + Shown(node) + " (\"scroll\" or \"cut\")");
            } else {
                return Fail(key.source(),
                            "unknown key '" + std::string(key.str()) + "' in [display]");
            }
        }
        return true;
    }

    bool ReadScreen(const toml::table& table, PanelConfig* config, ConfigSource* source) {
        ScreenConfig screen;
        std::vector<Position> positions;
        bool named = false, lined = false;
        for (auto&& [key, node] : table) {
            if (key == "name") {
                const auto* text = node.as_string();
                if (text == nullptr || text->get().empty())
                    return Fail(node.source(), "name must be a non-empty string");
                for (const ScreenConfig& other : config->screens)
                    if (other.name == text->get())
                        return Fail(node.source(),
                                    "a screen named '" + text->get() + "' comes before");
                screen.name = text->get();
                named = true;
            } else if (key == "duration") {
                const auto* number = node.as_integer();
                if (number == nullptr || number->get() < 1 || number->get() > INT_MAX)
                    return Fail(node.source(),
                                "duration must be a positive whole number of seconds");
                screen.duration = static_cast<int>(number->get());
            } else if (key == "priority") {
                const auto* text = node.as_string();
                bool known = false;
                for (Priority p : {Priority::kInfo, Priority::kForeground, Priority::kAlert,
                                   Priority::kBackground, Priority::kHidden}) {
                    if (text != nullptr && text->get() == PriorityWord(p)) {
                        screen.priority = p;
                        known = true;
                    }
                }
                if (!known)
                    return Fail(node.source(),
                                "bad priority " + Shown(node) +
                                    " (info, foreground, alert, background or hidden)");
            } else if (key == "lines") {
                const auto* lines = node.as_array();
                if (lines == nullptr || lines->empty())
                    return Fail(node.source(), "lines must be a non-empty array of strings");
                for (const toml::node& line : *lines) {
                    const auto* text = line.as_string();
                    if (text == nullptr) return Fail(line.source(), "a line must be a string");
                    screen.lines.push_back(text->get());
                    positions.push_back({line.source().begin.line, line.source().begin.column});
                }
                lined = true;
            } else {
                return Fail(key.source(),
                            "unknown key '" + std::string(key.str()) + "' in [[screen]]");
            }
        }
        if (!named) return Fail(table.source(), "a [[screen]] without a name");
        if (!lined) return Fail(table.source(), "screen '" + screen.name + "' has no lines");
        config->screens.push_back(std::move(screen));
        source->lines.push_back(std::move(positions));
        return true;
    }

    // A value as the file writes it, for messages.
    static std::string Shown(const toml::node& node) {
        if (const auto* text = node.as_string()) return "'" + text->get() + "'";
        if (const auto* number = node.as_integer()) return std::to_string(number->get());
        std::ostringstream type;
        type << "of type " << node.type();
        return type.str();
    }

    std::string file_;
    std::string* error_;
};

}  // namespace

std::string ErrorLine(const std::string& file, ConfigSource::Position at,
                      std::string_view message) {
    return file + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": " +
           std::string(message);
}

bool ParsePanelConfig(std::string_view text, const std::string& file, PanelConfig* config,
                      std::string* errorLine, ConfigSource* source) {
    *config = PanelConfig{};
    ConfigSource unused;
    Reader reader(file, errorLine);
    toml::table root;
    try {
        root = toml::parse(text, file);
    } catch (const toml::parse_error& e) {
        return reader.Fail(e.source(), e.description());
    }
    return reader.Read(root, config, source != nullptr ? source : &unused);
}

bool LoadPanelConfig(const std::filesystem::path& file, PanelConfig* config, std::string* errorLine,
                     ConfigSource* source) {
    std::error_code ec;
    std::ifstream in;
    const bool folder = std::filesystem::is_directory(file, ec);
    if (!folder) in.open(file, std::ios::binary);
    if (!in.is_open()) {
        const int error = folder ? EISDIR : errno;
        *errorLine = file.string() + ": cannot read (" + std::strerror(error) + ")";
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParsePanelConfig(text, file.string(), config, errorLine, source);
}

}  // namespace host
