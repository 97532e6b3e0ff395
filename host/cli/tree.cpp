#include "host/cli/tree.h"

#include <algorithm>

#include <CLI/CLI.hpp>

#include "com/text.h"
#include "host/cli/command.h"
#include "host/cli/text_output.h"
#include "host/plugins/known_plugins.h"
#include "host/plugins/provider.h"

namespace host {

namespace {

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

class Tree final : public WordsCommand {
  public:
    explicit Tree(CLI::App& app)
        : WordsCommand(app, "tree", "the item tree, one level per backslash", "[PLUGIN...]",
                       PluginHelp() + " (default: the three)") {}

    int Run(Context& ctx) override {
        std::vector<std::string> plugins = Words();
        if (plugins.empty())
            for (const KnownPlugin& known : kKnownPlugins) plugins.emplace_back(known.name);
        // Read everything first, so that an error leaves stdout empty.
        std::vector<std::pair<std::string, std::vector<std::u16string>>> trees;
        for (const std::string& named : plugins) {
            std::string name, error;
            ITessivar2DataProvider* provider = ctx.catalog.Find(named, &name, &error);
            if (provider == nullptr) return ctx.Fail(error);
            // Only the display names make the tree: Count, then DisplayName of every index.
            Provider items(name, provider);
            MemberFailure failure;
            if (!items.ReadItems(&failure, false)) return ctx.Fail(Describe(failure));
            std::vector<std::u16string> names;
            for (const auto& item : items.items()) names.push_back(item.displayName);
            trees.emplace_back(name, std::move(names));
        }
        for (const auto& [name, names] : trees) PrintTree(name, names, ctx.out);
        return 0;
    }
};

}  // namespace

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

std::unique_ptr<Command> AddTree(CLI::App& app) {
    return std::make_unique<Tree>(app);
}

}  // namespace host
