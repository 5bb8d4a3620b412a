// The usage, the --help text and the manual page of a command-line tool, all written from
// one table of its options and operands, so that what the tool accepts and what its help
// and manual page say are listed once.
#pragma once

#include <algorithm>
#include <cctype>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zp::tools {

// How an entry of the table is given on the command line.
enum class OptionUse {
    Once,        // [--name ARG]
    Repeatable,  // [--name ARG ...]
    Choice,      // exactly one of the Choice entries: (--a N | --b NAME)
    Alone,       // only as the one argument, as --help: a synopsis line of its own
    Operand,     // a plain argument: [LOGFILE]
};

// One option or operand: its name ("--settings", or "LOGFILE" for an operand), the name
// of its value ("FILE"; empty for a switch) and what it does, in plain ASCII text.
struct CommandOption {
    std::string_view name;
    std::string_view argument;
    std::string_view description;
    OptionUse use = OptionUse::Once;
    std::string_view alias = {};  // a short spelling, as -h for --help
};

// What the help and the manual page say about a tool, besides its options. Texts are
// plain ASCII; paragraphs are separated by an empty line.
struct CommandPage {
    std::string_view summary;      // the manual page's one-line NAME, after the dash
    std::string_view description;  // its first paragraph goes on after the tool's name
    std::span<const CommandOption> options;
    std::string_view exitStatus;                 // empty: none
    std::span<const std::string_view> examples;  // arguments after the tool's name
    std::span<const std::string_view> seeAlso;   // manual pages, as "zimra-pexo-viewer(1)"
    std::string_view manualDate;                 // "December 2026"
    std::string_view manualSource;               // the package, in the page's footer
};

// The name the tool was invoked by: the base name of argv[0], else `fallback`.
inline std::string_view invokedName(const char* argv0, std::string_view fallback) {
    std::string_view path = argv0 ? std::string_view(argv0) : std::string_view();
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    return path.empty() ? fallback : path;
}

namespace detail {

constexpr std::size_t kTextWidth = 79;

// Appends `items` filled into lines of at most kTextWidth columns, never breaking an
// item; `column` is where the current line of `out` ends, and continuation lines start
// with `indent` spaces.
inline void appendFilled(std::string& out, const std::vector<std::string>& items,
                         std::size_t indent, std::size_t column) {
    bool first = true;
    for (const std::string& item : items) {
        if (!first && column + 1 + item.size() > kTextWidth) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += item;
        column += item.size();
        first = false;
    }
}

// The same for the words of a text.
inline void appendFilled(std::string& out, std::string_view text, std::size_t indent,
                         std::size_t column) {
    std::vector<std::string> words;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(" \n"), text.size());
        if (end > 0) words.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    appendFilled(out, words, indent, column);
}

inline std::vector<std::string_view> paragraphs(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find("\n\n"), text.size());
        out.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 2, text.size()));
    }
    return out;
}

// Text for roff: backslashes and minus signs escaped, no line starting with a control
// character.
inline std::string roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

// An entry as the synopsis and the option list spell it, plain or in roff: the name in
// bold, the value's name (and an operand) in italics.
inline std::string spelled(const CommandOption& option, bool markup, bool withAlias = false) {
    const auto bold = [markup](std::string_view text) {
        return markup ? "\\fB" + roff(text) + "\\fR" : std::string(text);
    };
    const auto italic = [markup](std::string_view text) {
        return markup ? "\\fI" + roff(text) + "\\fR" : std::string(text);
    };
    if (option.use == OptionUse::Operand) return italic(option.name);
    std::string text = withAlias && !option.alias.empty() ? bold(option.alias) + ", " : "";
    text += bold(option.name);
    if (!option.argument.empty()) text += ' ' + italic(option.argument);
    return text;
}

// The synopsis: its first line's items (the choice, then every option and operand in
// brackets), then one line per option given alone. In roff an item is not broken.
inline std::vector<std::vector<std::string>> synopsis(const CommandPage& page, bool markup) {
    const auto unbroken = [markup](std::string item) {
        if (!markup) return item;
        std::string out;
        for (const char c : item) {
            if (c == ' ') out += '\\';
            out += c;
        }
        return out;
    };
    std::vector<std::vector<std::string>> lines(1);
    std::string choice;
    for (const CommandOption& option : page.options) {
        if (option.use != OptionUse::Choice) continue;
        if (!choice.empty()) choice += " | ";
        choice += spelled(option, markup);
    }
    if (!choice.empty())
        lines[0].push_back(
            unbroken(choice.find(" | ") == std::string::npos ? choice : "(" + choice + ")"));
    for (const CommandOption& option : page.options) {
        switch (option.use) {
            case OptionUse::Once:
            case OptionUse::Operand:
                lines[0].push_back(unbroken('[' + spelled(option, markup) + ']'));
                break;
            case OptionUse::Repeatable:
                lines[0].push_back(unbroken('[' + spelled(option, markup) + " ...]"));
                break;
            case OptionUse::Alone:
                lines.push_back({spelled(option, markup)});
                break;
            case OptionUse::Choice:
                break;
        }
    }
    return lines;
}

inline std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) (out.empty() ? out : out += ' ') += item;
    return out;
}

}  // namespace detail

// "usage: NAME [--option ARG] ... [OPERAND]", filled to the text width, and a line for
// each option given alone.
inline std::string usageText(std::string_view name, const CommandPage& page) {
    std::string out;
    const std::string lead = "usage: " + std::string(name) + ' ';
    const std::vector<std::vector<std::string>> lines = detail::synopsis(page, false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += i == 0 ? lead
                      : std::string(lead.size() - name.size() - 1, ' ') + std::string(name) + ' ';
        detail::appendFilled(out, lines[i], lead.size(), lead.size());
        out += '\n';
    }
    return out;
}

// What --help prints: the usage, the description, every option with what it does, the
// exit status and the examples.
inline std::string helpText(std::string_view name, const CommandPage& page) {
    std::string out = usageText(name, page);
    const std::vector<std::string_view> description = detail::paragraphs(page.description);
    for (std::size_t i = 0; i < description.size(); ++i) {
        out += '\n';
        const std::string paragraph = i == 0 ? std::string(name) + ' ' + std::string(description[i])
                                             : std::string(description[i]);
        detail::appendFilled(out, paragraph, 0, 0);
        out += '\n';
    }
    std::size_t widest = 0;
    for (const CommandOption& option : page.options)
        widest = std::max(widest, detail::spelled(option, false, true).size());
    const std::size_t column = std::min<std::size_t>(2 + widest + 2, 28);
    out += "\noptions:\n";
    for (const CommandOption& option : page.options) {
        const std::string spelled = "  " + detail::spelled(option, false, true);
        out += spelled;
        if (spelled.size() + 2 > column) {
            out += '\n';
            out.append(column, ' ');
        } else {
            out.append(column - spelled.size(), ' ');
        }
        detail::appendFilled(out, option.description, column, column);
        out += '\n';
    }
    if (!page.exitStatus.empty()) {
        out += "\nexit status:\n  ";
        detail::appendFilled(out, page.exitStatus, 2, 2);
        out += '\n';
    }
    if (!page.examples.empty()) {
        out += "\nexamples:\n";
        for (const std::string_view example : page.examples)
            ((out += "  ") += name) += ' ' + std::string(example) + '\n';
    }
    return out;
}

// The manual page, in roff with the man macros.
inline std::string manualPage(std::string_view name, int section, const CommandPage& page) {
    using detail::roff;
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string out = ".TH " + upper + ' ' + std::to_string(section) + " \"" +
                      std::string(page.manualDate) + "\" \"" + std::string(page.manualSource) +
                      "\" \"User Commands\"\n.nh\n";
    out += ".SH NAME\n" + std::string(name) + " \\- " + roff(page.summary) + '\n';
    out += ".SH SYNOPSIS\n.ad l\n";
    const std::vector<std::vector<std::string>> lines = detail::synopsis(page, true);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += ".br\n";
        out += ".B " + roff(name) + '\n' + detail::joined(lines[i]) + '\n';
    }
    out += ".ad\n.SH DESCRIPTION\n";
    const std::vector<std::string_view> description = detail::paragraphs(page.description);
    for (std::size_t i = 0; i < description.size(); ++i) {
        if (i) out += ".PP\n";
        if (i == 0) out += ".B " + roff(name) + '\n';
        out += roff(description[i]) + '\n';
    }
    out += ".SH OPTIONS\n";
    for (const CommandOption& option : page.options)
        out +=
            ".TP\n" + detail::spelled(option, true, true) + '\n' + roff(option.description) + '\n';
    if (!page.exitStatus.empty()) out += ".SH \"EXIT STATUS\"\n" + roff(page.exitStatus) + '\n';
    if (!page.examples.empty()) {
        out += ".SH EXAMPLES\n";
        for (const std::string_view example : page.examples)
            out += ".PP\n.EX\n" + roff(name) + ' ' + roff(example) + "\n.EE\n";
    }
    if (!page.seeAlso.empty()) {
        out += ".SH \"SEE ALSO\"\n";
        for (std::size_t i = 0; i < page.seeAlso.size(); ++i) {
            const std::string_view entry = page.seeAlso[i];
            const std::size_t paren = std::min(entry.find('('), entry.size());
            out += ".BR " + roff(entry.substr(0, paren)) + ' ' + std::string(entry.substr(paren)) +
                   (i + 1 < page.seeAlso.size() ? " ,\n" : "\n");
        }
    }
    return out;
}

}  // namespace zp::tools
