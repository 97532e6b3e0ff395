#include "host/panel/config_check.h"

#include <algorithm>

#include "host/panel/clock.h"
#include "host/panel/panel.h"

namespace host {

bool CheckPanelConfig(const PanelConfig& config, const ConfigSource& source, PluginCatalog& catalog,
                      std::string* errorLine) {
    for (std::size_t s = 0; s < config.screens.size(); ++s) {
        const auto& lines = config.screens[s].lines;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            // A panel of the one line: the template parsed and each item resolved as `show` does.
            PanelError error;
            if (Panel::Create(catalog, {ScreenConfig{"", 5, Priority::kInfo, {lines[k]}}}, &error))
                continue;
            ConfigSource::Position at;
            if (s < source.lines.size() && k < source.lines[s].size()) at = source.lines[s][k];
            *errorLine = ErrorLine(source.file, at, DescribeForFile(error));
            return false;
        }
    }
    return true;
}

bool FitScreens(PluginCatalog& catalog, const PanelConfig& config, int width, int height,
                std::vector<std::vector<std::string>>* advice, std::string* error) {
    PanelError why;
    auto panel = Panel::Create(catalog, config.screens, &why);
    if (!panel) return *error = Describe(why), false;
    panel->Tick(SteadyMilliseconds());
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const char* verb = config.longLines.mode == LongLines::kScroll ? " scrolls (" : " is cut (";
    advice->assign(panel->screens(), {});
    for (std::size_t s = 0; s < panel->screens(); ++s) {
        auto& out = (*advice)[s];
        if (const std::size_t pages = PageCount(panel->lines(s), height); pages > 1)
            out.push_back(std::to_string(pages) + " pages on " + size);
        const auto texts = panel->Texts(s);
        for (std::size_t k = 0; k < texts.size(); ++k) {
            // A value of two lines takes two rows: the wider counts.
            const int rows = static_cast<int>(std::count(texts[k].begin(), texts[k].end(), u'\n'));
            std::size_t wide = 0;
            for (const std::u16string& row : LayOutRows({texts[k]}, rows + 1))
                wide = std::max(wide, row.size());
            if (wide > static_cast<std::size_t>(width))
                out.push_back("line " + std::to_string(k + 1) + verb + std::to_string(wide) +
                              " > " + std::to_string(width) + ")");
        }
    }
    return true;
}

}  // namespace host
