#include "LangCallScanner.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace langtest {

namespace {

// The code with comments and the contents of string and character literals
// blanked out (line breaks kept), so only real calls are found.
std::string CodeOnly(const std::string& s)
{
    std::string out = s;
    size_t i = 0;
    const auto blank = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k < out.size(); ++k)
            if (out[k] != '\n')
                out[k] = ' ';
    };
    while (i < s.size()) {
        if (s.compare(i, 2, "//") == 0) {
            const size_t end = s.find('\n', i);
            blank(i, end == std::string::npos ? s.size() : end);
            i = end == std::string::npos ? s.size() : end;
        } else if (s.compare(i, 2, "/*") == 0) {
            const size_t end = s.find("*/", i + 2);
            const size_t stop = end == std::string::npos ? s.size() : end + 2;
            blank(i, stop);
            i = stop;
        } else if (s[i] == 'R' && i + 1 < s.size() && s[i + 1] == '"') {
            const size_t open = s.find('(', i + 2);
            if (open == std::string::npos)
                break;
            const std::string close = ")" + s.substr(i + 2, open - i - 2) + "\"";
            const size_t end = s.find(close, open);
            const size_t stop = end == std::string::npos ? s.size() : end + close.size();
            blank(open + 1, stop - close.size());
            i = stop;
        } else if (s[i] == '"' || (s[i] == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(s[i - 1]))))) {
            const char quote = s[i];
            size_t k = i + 1;
            while (k < s.size() && s[k] != quote && s[k] != '\n')
                k += (s[k] == '\\') ? 2 : 1;
            blank(i + 1, k);
            i = k + 1;
        } else {
            ++i;
        }
    }
    return out;
}

std::vector<std::string> SplitArguments(const std::string& code, size_t open, size_t& close)
{
    std::vector<std::string> args(1);
    int depth = 0;
    for (size_t i = open + 1; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            if (depth == 0 && c == ')') {
                close = i;
                break;
            }
            --depth;
        } else if (c == ',' && depth == 0) {
            args.emplace_back();
            continue;
        }
        args.back() += c;
    }
    for (std::string& arg : args) {
        const size_t begin = arg.find_first_not_of(" \t\r\n");
        const size_t end = arg.find_last_not_of(" \t\r\n");
        arg = begin == std::string::npos ? std::string() : arg.substr(begin, end - begin + 1);
    }
    if (args.size() == 1 && args[0].empty())
        args.clear();
    return args;
}

std::vector<unsigned> MarkedIds(const std::string& line)
{
    std::vector<unsigned> ids;
    static const std::regex marker(R"(lang-ids:\s*([0-9][0-9 ,]*))");
    std::smatch match;
    if (std::regex_search(line, match, marker)) {
        std::istringstream numbers(std::regex_replace(match[1].str(), std::regex(","), " "));
        for (unsigned id; numbers >> id;)
            ids.push_back(id);
    }
    return ids;
}

}  // namespace

std::vector<LangCall> ScanLangCalls(const std::string& source)
{
    std::vector<std::string> lines;
    {
        std::istringstream in(source);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    const std::string code = CodeOnly(source);
    static const std::regex call(R"(\b(LoadLangString|FormatLangString)\s*\()");
    static const std::regex number(R"(^\(?\s*([0-9]+)[uU]?\s*\)?$)");
    static const std::regex declaration(R"(^(const\s+)?(unsigned|int|UINT|std::|auto)\b)");

    std::vector<LangCall> calls;
    for (auto it = std::sregex_iterator(code.begin(), code.end(), call); it != std::sregex_iterator(); ++it) {
        const size_t open = static_cast<size_t>(it->position(0) + it->length(0) - 1);
        size_t close = code.size();
        const std::vector<std::string> args = SplitArguments(code, open, close);
        if (!args.empty() && std::regex_search(args[0], declaration))
            continue;  // a declaration or definition, not a call
        LangCall found;
        found.function = (*it)[1].str();
        found.line = 1 + static_cast<int>(std::count(code.begin(), code.begin() + it->position(0), '\n'));
        if (found.function == "LoadLangString" && args.size() >= 2) {
            found.sectionForm = true;
        } else if (std::smatch m; !args.empty() && std::regex_match(args[0], m, number)) {
            found.ids.push_back(static_cast<unsigned>(std::stoul(m[1].str())));
        } else {
            const size_t at = static_cast<size_t>(found.line - 1);
            std::vector<unsigned> ids = at < lines.size() ? MarkedIds(lines[at]) : std::vector<unsigned>();
            if (ids.empty() && at > 0 && at - 1 < lines.size())
                ids = MarkedIds(lines[at - 1]);
            found.ids = ids;
            found.unresolved = ids.empty();
        }
        calls.push_back(found);
    }
    return calls;
}

std::vector<std::string> SourceFiles(const std::string& root, const std::vector<std::string>& excludedFolders)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::path& path = it->path();
        const std::string relative = fs::relative(path, root, ec).generic_string();
        if (it->is_directory()) {
            const bool excluded = path.filename().string().starts_with(".") || fs::exists(path / "CMakeCache.txt") ||
                                  std::find(excludedFolders.begin(), excludedFolders.end(), relative) !=
                                      excludedFolders.end();
            if (excluded)
                it.disable_recursion_pending();
            continue;
        }
        const std::string ext = path.extension().string();
        if (ext == ".cpp" || ext == ".h" || ext == ".hpp" || ext == ".cc")
            files.push_back(relative);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace langtest
