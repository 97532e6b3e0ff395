#include "host/show.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <CLI/CLI.hpp>

#include "com/owners.h"
#include "host/config_file.h"
#include "host/panel.h"
#include "host/provider.h"
#include "host/screens.h"
#include "host/text_output.h"

namespace host {

namespace {

bool ParseNumber(std::string_view text, int low, int high, int* value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           *value >= low && *value <= high;
}

std::int64_t SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Node {
    std::u16string name;
    LONG index = -1;  // a leaf's item index
    std::vector<Node> children;
};

void PrintNode(const std::string& plugin, const Node& node, int depth, std::ostream& out) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << EscapeForLine(node.name);
    if (node.index >= 0) out << "  {" << plugin << ':' << node.index << '}';
    out << '\n';
    for (const Node& child : node.children) PrintNode(plugin, child, depth + 1, out);
}

}  // namespace

bool ParseSize(const std::string& text, int* width, int* height) {
    const auto x = text.find_first_of("xX");
    return x != std::string::npos &&
           ParseNumber(std::string_view(text).substr(0, x), 1, 256, width) &&
           ParseNumber(std::string_view(text).substr(x + 1), 1, 64, height);
}

void DefineShowOptions(CLI::App& command, ShowOptions* options) {
    // Each value is checked by PrepareShowArgs already; a repeated option takes the last value.
    auto last = [](auto set) {
        return [set](const CLI::results_t& values) {
            set(values.back());
            return true;
        };
    };
    command
        .add_option("--size", last([options](const std::string& value) {
                        options->sized = ParseSize(value, &options->width, &options->height);
                    }),
                    "the panel's size (default 20x4, or the configuration file's)")
        ->type_name("WxH")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_flag("--once", options->once, "print one frame of the first screen and exit");
    command
        .add_option("--lcdproc",
                    last([options](const std::string& value) { options->lcdproc = value; }),
                    "drive the LCDd server at [HOST:]PORT instead of the terminal")
        ->type_name("[HOST:]PORT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command
        .add_option("--config",
                    last([options](const std::string& value) { options->config = value; }),
                    "the configuration file (default: " + std::string(kConfigSearchText) + ")")
        ->type_name("FILE")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("LINE", options->templates,
                       "text with items {Plugin:index} or {Plugin\\path\\label}; '{{' and '}}' "
                       "are braces");
    command.positionals_at_end();
}

bool PrepareShowArgs(const std::vector<std::string>& args, std::vector<std::string>* prepared,
                     std::string* error) {
    prepared->clear();
    bool once = false, lcdproc = false;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a.rfind("--", 0) != 0) break;
        if (a == "--help") {
            prepared->push_back(a);
            continue;
        }
        std::string name = a, value;
        // A word that starts like --size or --lcdproc takes the next argument, as it always has.
        const bool takesValue =
            a.rfind("--size", 0) == 0 || a.rfind("--lcdproc", 0) == 0 || a == "--config";
        if (const auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else if (takesValue) {
            if (i + 1 >= args.size()) return *error = a + " needs a value", false;
            value = args[++i];
        }
        if (name == "--once") {
            once = true;
            prepared->push_back(name);
        } else if (name == "--size") {
            int width = 0, height = 0;
            if (!ParseSize(value, &width, &height))
                return *error = "bad --size '" + value + "' (expected WxH, e.g. 20x4)", false;
            prepared->push_back(name + "=" + value);
        } else if (name == "--lcdproc") {
            std::string host, port;
            if (!ParseEndpoint(value, &host, &port, error)) return false;
            lcdproc = true;
            prepared->push_back(name + "=" + value);
        } else if (name == "--config") {
            prepared->push_back(name + "=" + value);
        } else {
            return *error = "unknown option '" + a + "' for show", false;
        }
    }
    if (once && lcdproc) return *error = "--once cannot go with --lcdproc", false;
    prepared->push_back("--");
    prepared->insert(prepared->end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return true;
}

bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error) {
    std::vector<std::string> prepared;
    if (!PrepareShowArgs(args, &prepared, error)) return false;
    CLI::App command("show", "show");
    DefineShowOptions(command, options);
    std::reverse(prepared.begin(), prepared.end());  // CLI11 takes the arguments last first
    try {
        command.parse(prepared);
    } catch (const CLI::ParseError& e) {
        return *error = e.what(), false;
    }
    return true;
}

bool ParseEndpoint(const std::string& text, std::string* host, std::string* port,
                   std::string* error) {
    *host = "127.0.0.1";
    std::string rest = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find("]:");
        if (close == std::string::npos)
            return *error = "bad LCDd address '" + text + "' (expected [HOST:]PORT)", false;
        *host = text.substr(1, close - 1);
        rest = text.substr(close + 2);
    } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        *host = text.substr(0, colon);
        rest = text.substr(colon + 1);
    }
    int number = 0;
    if (host->empty() || !ParseNumber(rest, 1, 65535, &number))
        return *error = "bad LCDd address '" + text + "' (expected [HOST:]PORT)", false;
    *port = rest;
    return true;
}

std::string FindConfigFile() {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        candidates.push_back(fs::path(xdg) / "tessivar" / "lcdhost.toml");
    else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        candidates.push_back(fs::path(home) / ".config" / "tessivar" / "lcdhost.toml");
    candidates.emplace_back("/etc/tessivar/lcdhost.toml");
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        if (fs::exists(candidate, ec)) return candidate.string();
    }
    return {};
}

bool SelectPanelConfig(const ShowOptions& options, PluginCatalog& catalog, PanelConfig* config,
                       std::string* error, bool* badFile) {
    *config = PanelConfig{};
    *badFile = false;
    if (options.templates.empty()) {
        const std::string file = options.config ? *options.config : FindConfigFile();
        ConfigSource source;
        if (!file.empty() && (!LoadPanelConfig(file, config, error, &source) ||
                              !CheckPanelConfig(*config, source, catalog, error))) {
            *badFile = true;
            return false;
        }
    }
    if (config->screens.empty()) {
        // One unnamed screen: the panel as the command line or the default layout gives it.
        ScreenConfig screen;
        screen.lines = options.templates.empty() ? DefaultTemplates() : options.templates;
        config->screens.push_back(std::move(screen));
    }
    if (options.sized) {
        config->width = options.width;
        config->height = options.height;
    }
    if (options.lcdproc) config->lcdproc = options.lcdproc;
    return true;
}

int Show(const ShowOptions& options, PluginCatalog& catalog, std::ostream& out, std::ostream& err) {
    PanelConfig config;
    std::string error;
    bool badFile = false;
    if (!SelectPanelConfig(options, catalog, &config, &error, &badFile)) {
        err << "lcdhost: " << error << '\n';
        return badFile ? 2 : 1;
    }
    if (!options.once) {
        ScreensOptions live;
        live.width = config.width.value_or(live.width);
        live.height = config.height.value_or(live.height);
        // Screens from a file are read again on SIGHUP, with the command line's overrides.
        const std::string file = !options.templates.empty()
                                     ? std::string()
                                     : (options.config ? *options.config : FindConfigFile());
        if (!file.empty()) {
            live.reload = [&options, &catalog](PanelConfig* fresh, std::string* why) {
                bool bad = false;
                return SelectPanelConfig(options, catalog, fresh, why, &bad);
            };
        }
        return RunScreens(config, catalog, live, err);
    }

    // --once: the first screen, one frame on standard output.
    auto panel = Panel::Create(catalog, config.screens.front().lines, &error);
    if (!panel) {
        err << "lcdhost: " << error << '\n';
        return 1;
    }
    const int width = config.width.value_or(20), height = config.height.value_or(4);
    panel->Tick(SteadyMilliseconds());
    for (const std::u16string& row : panel->Frame(width, height)) out << com::ToUtf8(row) << '\n';
    if (!panel->failures().empty()) {
        std::string line;
        for (const std::string& failure : panel->failures())
            line += (line.empty() ? "" : "; ") + failure;
        err << "lcdhost: " << line << '\n';
    }
    return 0;
}

int Show(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
         std::ostream& err) {
    ShowOptions options;
    std::string error;
    if (!ParseShowOptions(args, &options, &error)) {
        err << "lcdhost: " << error << '\n';
        return 2;
    }
    return Show(options, catalog, out, err);
}

void PrintTree(const std::string& plugin, const std::vector<std::u16string>& displayNames,
               std::ostream& out) {
    Node root{com::FromUtf8(plugin), -1, {}};
    for (std::size_t i = 0; i < displayNames.size(); ++i) {
        std::vector<std::u16string> parts;
        std::u16string_view rest = displayNames[i];
        for (std::size_t slash; (slash = rest.find(u'\\')) != std::u16string_view::npos;
             rest.remove_prefix(slash + 1))
            parts.emplace_back(rest.substr(0, slash));
        parts.emplace_back(rest);
        // The plug-in name leads every display name; one that lacks it hangs from the root too.
        std::size_t first = parts.size() > 1 && com::EqualsNoCase(parts[0], root.name) ? 1 : 0;
        Node* node = &root;
        for (std::size_t k = first; k + 1 < parts.size(); ++k) {
            auto it =
                std::find_if(node->children.begin(), node->children.end(),
                             [&](const Node& n) { return n.index < 0 && n.name == parts[k]; });
            if (it == node->children.end()) {
                node->children.push_back({parts[k], -1, {}});
                it = node->children.end() - 1;
            }
            node = &*it;
        }
        node->children.push_back({parts.back(), static_cast<LONG>(i), {}});
    }
    PrintNode(plugin, root, 0, out);
}

int Tree(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
         std::ostream& err) {
    const std::vector<std::string> all = {"Orvantel", "Tamblorin", "Wendrikai"};
    const std::vector<std::string>& plugins = args.empty() ? all : args;
    // Read everything first, so that an error leaves stdout empty.
    std::vector<std::pair<std::string, std::vector<std::u16string>>> trees;
    for (const std::string& named : plugins) {
        std::string name, error;
        ITessivar2DataProvider* provider = catalog.Find(named, &name, &error);
        if (provider == nullptr) {
            err << "lcdhost: " << error << '\n';
            return 1;
        }
        // Only the display names make the tree: Count, then DisplayName of every index.
        Provider items(name, provider);
        if (!items.ReadItems(&error, false)) {
            err << "lcdhost: " << error << '\n';
            return 1;
        }
        std::vector<std::u16string> names;
        for (const auto& item : items.items()) names.push_back(item.displayName);
        trees.emplace_back(name, std::move(names));
    }
    for (const auto& [name, names] : trees) PrintTree(name, names, out);
    return 0;
}

}  // namespace host
