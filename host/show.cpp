#include "host/show.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "com/owners.h"
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

bool ParseSize(const std::string& text, int* width, int* height) {
    const auto x = text.find_first_of("xX");
    return x != std::string::npos &&
           ParseNumber(std::string_view(text).substr(0, x), 1, 256, width) &&
           ParseNumber(std::string_view(text).substr(x + 1), 1, 64, height);
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

bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error) {
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a.rfind("--", 0) != 0) break;
        std::string name = a, value;
        const bool takesValue = a.rfind("--size", 0) == 0 || a.rfind("--lcdproc", 0) == 0;
        if (const auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        } else if (takesValue) {
            if (i + 1 >= args.size()) return *error = a + " needs a value", false;
            value = args[++i];
        }
        if (name == "--once") {
            options->once = true;
        } else if (name == "--size") {
            if (!ParseSize(value, &options->width, &options->height))
                return *error = "bad --size '" + value + "' (expected WxH, e.g. 20x4)", false;
        } else if (name == "--lcdproc") {
            std::string host, port;
            if (!ParseEndpoint(value, &host, &port, error)) return false;
            options->lcdproc = value;
        } else {
            return *error = "unknown option '" + a + "' for show", false;
        }
    }
    options->templates.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (options->once && options->lcdproc) return *error = "--once cannot go with --lcdproc", false;
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

int Show(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
         std::ostream& err) {
    ShowOptions options;
    std::string error;
    if (!ParseShowOptions(args, &options, &error)) {
        err << "lcdhost: " << error << '\n';
        return 2;
    }
    const auto& templates = options.templates.empty() ? DefaultTemplates() : options.templates;
    if (!options.once) {
        // The LINEs make one unnamed screen.
        PanelConfig config;
        config.width = options.width;
        config.height = options.height;
        config.lcdproc = options.lcdproc;
        config.screens.push_back({"", 5, Priority::kInfo, templates});
        return RunScreens(config, catalog, {}, err);
    }
    auto panel = Panel::Create(catalog, templates, &error);
    if (!panel) {
        err << "lcdhost: " << error << '\n';
        return 1;
    }

    panel->Tick(SteadyMilliseconds());
    for (const std::u16string& row : panel->Frame(options.width, options.height))
        out << com::ToUtf8(row) << '\n';
    if (!panel->failures().empty()) {
        std::string line;
        for (const std::string& failure : panel->failures())
            line += (line.empty() ? "" : "; ") + failure;
        err << "lcdhost: " << line << '\n';
    }
    return 0;
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
