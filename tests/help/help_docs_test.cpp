// The assembled help (hand-written pages plus the pages made from docs/api):
// every link and contents entry lands on a page and anchor that exist, no page
// is left out of the contents, and every menu command, settings page and
// control the builder shows has its entry.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kestrel {
namespace {

const std::string kPages = KESTREL_HELP_PAGES_DIR;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string Page(const std::string& name) {
    return ReadText(kPages + "/" + name);
}

std::vector<std::string> PageNames() {
    std::vector<std::string> names;
    for (const std::string& name : ListFiles(kPages))
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".html") == 0)
            names.push_back(name);
    return names;
}

std::vector<std::string> Captures(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[1].str());
    return found;
}

std::set<std::string> Anchors(const std::string& page) {
    static const std::regex anchor(R"re(\s(?:id|name)="([^"]+)")re");
    const std::vector<std::string> found = Captures(page, anchor);
    return std::set<std::string>(found.begin(), found.end());
}

// Empty when `target` (a page name, with or without "#anchor") resolves;
// otherwise what is wrong.
std::string CheckTarget(const std::string& target) {
    const std::size_t hash = target.find('#');
    const std::string file = target.substr(0, hash);
    if (file.empty() || file.find('/') != std::string::npos || file.find('\\') != std::string::npos)
        return "not a page of the help: " + target;
    if (!PathExists(kPages + "/" + file)) return "no page " + file;
    if (hash == std::string::npos) return "";
    if (!Anchors(Page(file)).count(target.substr(hash + 1))) return "no anchor " + target;
    return "";
}

bool IsExternal(const std::string& target) {
    return target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0 ||
           target.rfind("mailto:", 0) == 0;
}

TEST(HelpPages, EveryLinkLandsOnAPageAndAnchorThatExist) {
    static const std::regex link(R"re(\s(?:href|src)="([^"]*)")re");
    const std::vector<std::string> names = PageNames();
    ASSERT_GT(names.size(), 20u) << "the help pages were not assembled in " << kPages;
    for (const std::string& name : names) {
        const std::string page = Page(name);
        for (std::string target : Captures(page, link)) {
            if (IsExternal(target)) continue;
            if (target[0] == '#') target = name + target;
            const std::string fault = CheckTarget(target);
            EXPECT_EQ(fault, "") << "in " << name;
        }
    }
}

TEST(HelpPages, AnchorsAreUniqueWithinAPage) {
    static const std::regex anchor(R"re(\s(?:id|name)="([^"]+)")re");
    for (const std::string& name : PageNames()) {
        std::map<std::string, int> seen;
        for (const std::string& id : Captures(Page(name), anchor)) ++seen[id];
        for (const auto& [id, count] : seen) EXPECT_EQ(count, 1) << name << "#" << id;
    }
}

std::vector<std::string> SitemapTargets(const std::string& file) {
    static const std::regex local(R"re(<param name="Local" value="([^"]*)">)re");
    return Captures(Page(file), local);
}

TEST(HelpProject, ContentsAndIndexEntriesResolve) {
    for (const char* file : {"contents.hhc", "index.hhk"}) {
        const std::vector<std::string> targets = SitemapTargets(file);
        EXPECT_FALSE(targets.empty()) << file;
        for (const std::string& target : targets) EXPECT_EQ(CheckTarget(target), "") << file;
    }
}

TEST(HelpProject, EveryPageIsInTheContentsAndTheProject) {
    std::set<std::string> listed;
    for (const std::string& target : SitemapTargets("contents.hhc"))
        listed.insert(target.substr(0, target.find('#')));
    const std::string project = Page("kestrel_help.hhp");
    for (const std::string& name : PageNames()) {
        EXPECT_TRUE(listed.count(name)) << name << " is not in contents.hhc";
        EXPECT_NE(project.find("\n" + name), std::string::npos) << name << " is not in the project";
    }
}

// The text a page shows, without tags: what a reader sees.
std::string VisibleText(const std::string& page) {
    std::string text = std::regex_replace(page, std::regex("<[^>]*>"), " ");
    text = std::regex_replace(text, std::regex("&gt;"), ">");
    text = std::regex_replace(text, std::regex("&amp;"), "&");
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

// Every movie API page was converted, titled and placed in the index of
// methods (the index keeps its own entry per documented method).
TEST(HelpProject, EveryApiPageIsConvertedWithItsMethodsIndexed) {
    const std::string source = std::string(KESTREL_SOURCE_DIR) + "/docs/api";
    const std::string index = Page("index.hhk");
    int pages = 0;
    for (const std::string& md : ListFiles(source)) {
        if (md.size() < 4 || md.compare(md.size() - 3, 3, ".md") != 0) continue;
        ++pages;
        const std::string html =
            md == "README.md" ? "api-index.html" : "api-" + md.substr(0, md.size() - 3) + ".html";
        const std::string page = Page(html);
        ASSERT_FALSE(page.empty()) << md << " was not converted to " << html;
        EXPECT_NE(page.find("<h1"), std::string::npos) << html;
        // No Markdown left over outside code: emphasis, links, fences, tables.
        const std::string prose =
            VisibleText(std::regex_replace(page, std::regex("<(code|pre)>[\\s\\S]*?</\\1>"), " "));
        for (const char* markup : {"**", "](", "```", "`", "| ---", "|---"})
            EXPECT_EQ(prose.find(markup), std::string::npos) << html << " shows " << markup;
        if (md == "README.md") continue;
        const std::string text = ReadText(source + "/" + md);
        static const std::regex method(R"re(\n### `([A-Za-z]+\.[A-Za-z.]+)`)re");
        for (const std::string& name : Captures(text, method))
            EXPECT_NE(index.find("value=\"" + name + "\""), std::string::npos)
                << name << " is not in index.hhk";
    }
    EXPECT_EQ(pages, 13);
}

// The headings of a page, tags removed.
std::string Headings(const std::string& page) {
    static const std::regex heading(R"re(<h[1-3][^>]*>([\s\S]*?)</h[1-3]>)re");
    std::string all;
    for (const std::string& h : Captures(page, heading)) all += VisibleText(h) + "\n";
    return all;
}

struct MenuCommand {
    const char* page;
    const char* text;  // as the menu shows it, without "&", "..." and the shortcut
};

const MenuCommand kMenuCommands[] = {
    {"menu-file.html", "New Project"},
    {"menu-file.html", "Open Project"},
    {"menu-file.html", "Save Project"},
    {"menu-file.html", "Save Project As"},
    {"menu-file.html", "Export Projector"},
    {"menu-file.html", "Recent Projects"},
    {"menu-file.html", "Recent SWFs"},
    {"menu-file.html", "Exit"},
    {"menu-edit.html", "Undo"},
    {"menu-edit.html", "Redo"},
    {"menu-edit.html", "Preferences"},
    {"menu-settings.html", "Setup"},
    {"menu-settings.html", "Window"},
    {"menu-settings.html", "Input"},
    {"menu-settings.html", "Flash"},
    {"menu-help.html", "Kestrel Help"},
    {"menu-help.html", "About Kestrel"},
};

TEST(HelpCommands, EveryMenuCommandHasItsHeading) {
    for (const MenuCommand& command : kMenuCommands)
        EXPECT_NE(Headings(Page(command.page)).find(command.text), std::string::npos)
            << command.text << " has no heading in " << command.page;
}

// A menu item's text as the help names it: no "&", no "...", no shortcut.
std::string PlainMenuText(std::string text) {
    text = text.substr(0, text.find("\\t"));
    text = std::regex_replace(text, std::regex("&"), "");
    return std::regex_replace(text, std::regex("\\.\\.\\.$"), "");
}

// The builder's own menus, read from its resource script when the tree has
// it: a command added there needs its help entry too.
TEST(HelpCommands, EveryItemOfTheBuildersMenusIsDocumented) {
    const std::string script = ReadText(std::string(KESTREL_SOURCE_DIR) + "/builder/ui/kestrel.rc");
    if (script.empty()) GTEST_SKIP() << "builder/ui/kestrel.rc is not in this tree";
    std::string headings;
    for (const char* page :
         {"menu-file.html", "menu-edit.html", "menu-settings.html", "menu-help.html"})
        headings += Headings(Page(page));
    static const std::regex item(R"re(MENUITEM\s+"([^"]+)")re");
    const std::vector<std::string> items = Captures(script, item);
    EXPECT_GE(items.size(), 15u);
    for (const std::string& text : items)
        EXPECT_NE(headings.find(PlainMenuText(text)), std::string::npos)
            << "menu item \"" << text << "\" has no heading in the menu pages";
}

struct SettingsPage {
    const char* file;
    const char* title;
    std::vector<const char*> controls;  // every labelled control the page shows
};

const std::vector<SettingsPage>& SettingsPages() {
    static const std::vector<SettingsPage> pages = {
        {"windows-page.html",
         "Windows page",
         {"Flash Window Name", "Add Window", "Remove Window", "Remove All"}},
        {"output-page.html",
         "Output page",
         {"Output to", "Browse...", "Use default filenames", "Windows", "Application Icon (.ico)"}},
        {"setup-page.html",
         "Setup page",
         {"SWF", "Browse...", "Width", "Height", "Version", "Frame Rate", "Add File...",
          "Add Folder...", "Remove", "Remove All"}},
        {"window-page.html",
         "Window page",
         {"Title",
          "Type",
          "Standard",
          "Custom Shape",
          "Transparent",
          "Mask",
          "Style",
          "Modal",
          "Tool",
          "No Border",
          "Minimize Button",
          "Maximize/Zoom Button",
          "Close Button",
          "Resizable",
          "Visible",
          "Has Menu (Windows Only)",
          "Show Fullscreen",
          "Size",
          "Custom",
          "Match SWF",
          "Screen Percentage",
          "W, H",
          "Position",
          "Center",
          "X, Y"}},
        {"input-page.html",
         "Input page",
         {"Left Mouse Button", "Right Mouse Button", "Drag Window", "Send to Flash", "Ignore",
          "Custom Menu", "Exit on Escape"}},
        {"flash-page.html",
         "Flash page",
         {"Use Bg Color", "Quality", "Low", "Auto Low", "Auto High", "Medium", "High", "Best",
          "Show Flash Menu", "Scale", "Show All", "No Border", "Exact Fit"}},
        {"preferences.html",
         "Preferences",
         {"General", "Maximum projects in most-recently used list",
          "Maximum SWF files in most-recently used list",
          "Display full path of current project in title bar", "Updates",
          "Automatically check for updates", "Check for updates"}},
        {"start-dialog.html",
         "The start dialog",
         {"Create a new projector from a Flash movie (.swf)", "Start a new empty project",
          "Open an existing project", "Browse..."}},
        {"export.html",
         "Exporting a projector",
         {"Replace", "Don't Replace", "Stop", "Apply To All"}},
    };
    return pages;
}

TEST(HelpPages, EverySettingsPageDescribesEachOfItsControls) {
    for (const SettingsPage& page : SettingsPages()) {
        const std::string html = Page(page.file);
        ASSERT_FALSE(html.empty()) << page.file << " is missing";
        EXPECT_NE(Headings(html).find(page.title), std::string::npos) << page.file;
        const std::string text = VisibleText(html);
        for (const char* control : page.controls)
            EXPECT_NE(text.find(control), std::string::npos)
                << page.file << " does not describe \"" << control << "\"";
    }
}

// The texts of the visible controls of each dialog in a resource script, by
// the dialog's name. A statement may run over several lines.
std::map<std::string, std::vector<std::string>> DialogControlTexts(const std::string& script) {
    static const std::regex dialogStart(R"re(^(\w+)\s+DIALOG(EX)?\s)re");
    static const std::regex statementStart(
        R"re(^\s+(LTEXT|RTEXT|CTEXT|PUSHBUTTON|DEFPUSHBUTTON|AUTOCHECKBOX|CHECKBOX|AUTORADIOBUTTON|RADIOBUTTON|GROUPBOX|CONTROL|EDITTEXT|COMBOBOX|LISTBOX)\b)re");
    static const std::regex text(R"re("([^"]*)")re");
    std::map<std::string, std::vector<std::string>> dialogs;
    std::vector<std::string> statements;
    std::string dialog;
    int depth = 0;
    auto finish = [&] {
        for (const std::string& statement : statements) {
            std::smatch found;
            if (statement.find("NOT WS_VISIBLE") != std::string::npos ||
                !std::regex_search(statement, found, text))
                continue;
            dialogs[dialog].push_back(found[1].str());
        }
        statements.clear();
    };
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::smatch found;
        if (depth == 0 && std::regex_search(line, found, dialogStart)) {
            dialog = found[1].str();
        } else if (line == "BEGIN") {
            ++depth;
        } else if (line == "END") {
            if (--depth == 0 && !dialog.empty()) finish();
            if (depth == 0) dialog.clear();
        } else if (depth > 0 && !dialog.empty()) {
            if (std::regex_search(line, statementStart))
                statements.push_back(line);
            else if (!statements.empty())
                statements.back() += " " + line;
        }
    }
    return dialogs;
}

// A control's text as a reader looks for it in the help: no "&", no colon
// after a label, and a few labels the help spells correctly.
std::string LabelInHelp(std::string label) {
    static const std::map<std::string, std::string> kSpelledCorrectly = {
        {"Verson", "Version"},
        {"Addiontal Files (Installed next to the SWF)", "Additional files"},
    };
    label = std::regex_replace(label, std::regex("&"), "");
    if (!label.empty() && label.back() == ':') label.pop_back();
    const auto corrected = kSpelledCorrectly.find(label);
    return corrected == kSpelledCorrectly.end() ? label : corrected->second;
}

// Every visible control of the builder's dialogs, read from its resource
// scripts when the tree has them: a control added there needs its help too.
TEST(HelpPages, EveryControlOfTheBuildersDialogsIsDescribed) {
    static const std::map<std::string, std::string> kDialogPages = {
        {"IDD_PAGE_WINDOWS", "windows-page.html"},
        {"IDD_PAGE_OUTPUT", "output-page.html"},
        {"IDD_PAGE_SETUP", "setup-page.html"},
        {"IDD_PAGE_WINDOW", "window-page.html"},
        {"IDD_PAGE_INPUT", "input-page.html"},
        {"IDD_PAGE_FLASH", "flash-page.html"},
        {"IDD_PREFERENCES_GENERAL", "preferences.html"},
        {"IDD_PREFERENCES_UPDATES", "preferences.html"},
        {"IDD_START", "start-dialog.html"},
    };
    int described = 0;
    for (const char* script : {"pages.rc", "kestrel.rc"}) {
        const std::string text =
            ReadText(std::string(KESTREL_SOURCE_DIR) + "/builder/ui/" + script);
        for (const auto& [dialog, controls] : DialogControlTexts(text)) {
            const auto page = kDialogPages.find(dialog);
            if (page == kDialogPages.end()) continue;
            const std::string help = VisibleText(Page(page->second));
            for (const std::string& control : controls) {
                const std::string label = LabelInHelp(control);
                if (!std::regex_search(label, std::regex("[A-Za-z]{2}"))) continue;
                ++described;
                EXPECT_NE(help.find(label), std::string::npos)
                    << page->second << " does not describe \"" << label << "\" of " << dialog
                    << " in " << script;
            }
        }
    }
    if (described == 0) GTEST_SKIP() << "the builder's resource scripts are not in this tree";
}

TEST(HelpPages, TheStartPageLeadsToEveryTopic) {
    const std::string index = Page("index.html");
    for (const SettingsPage& page : SettingsPages())
        EXPECT_NE(index.find(std::string("href=\"") + page.file + "\""), std::string::npos)
            << page.file;
    for (const char* topic :
         {"getting-started.html", "main-window.html", "menu-file.html", "menu-edit.html",
          "menu-settings.html", "menu-help.html", "api-index.html", "kestrel-cli.html"})
        EXPECT_NE(index.find(std::string("href=\"") + topic + "\""), std::string::npos) << topic;
}

}  // namespace
}  // namespace kestrel
