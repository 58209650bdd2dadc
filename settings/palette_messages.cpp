#include "settings/palette_messages.h"

#include <cstdio>

#include "platform/codepage.h"

namespace {

/// Characters a message shows as their code: control characters, and the ones that turn or
/// reorder the text after them (a name must not change how the rest of a line reads).
bool ShownAsCode(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029
        || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

/// "…" and how many more there are, after the listed lines of a box.
std::string MoreLine(std::size_t total, std::size_t listed)
{
    return total > listed
        ? Utf8Literal(u8"ほか") + NumberText(total - listed) + Utf8Literal(u8"件\n")
        : std::string();
}

} // namespace

std::string ShownText(std::string_view text, std::size_t maxCharacters, bool keepEnd)
{
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t c = Utf8CodePoint(text.substr(i), length);
        if (ShownAsCode(c)) {
            char code[16];
            std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(c));
            characters.emplace_back(code);
        } else if (c == U'\uFFFD') {
            characters.push_back(Utf8Literal(u8"\uFFFD"));
        } else {
            characters.emplace_back(text.substr(i, length));
        }
        i += length;
        // Enough has been seen when the start is kept; the end needs the whole text.
        if (!keepEnd && characters.size() > maxCharacters)
            break;
    }
    std::string shown;
    const std::string ellipsis = Utf8Literal(u8"…");
    if (characters.size() <= maxCharacters) {
        for (const std::string& c : characters)
            shown += c;
    } else if (keepEnd) {
        shown = ellipsis;
        for (std::size_t i = characters.size() - maxCharacters; i < characters.size(); ++i)
            shown += characters[i];
    } else {
        for (std::size_t i = 0; i < maxCharacters; ++i)
            shown += characters[i];
        shown += ellipsis;
    }
    return shown;
}

std::string ShownName(std::string_view utf8)
{
    return ShownText(utf8, 40);
}

std::string ShownPath(std::string_view path)
{
    return ShownText(path, 80, true);
}

std::string ProblemLines(
    const std::vector<PaletteProblem>& problems, bool storedEntries, std::size_t listed)
{
    std::string lines;
    const std::string where = storedEntries ? Utf8Literal(u8"番目「") : Utf8Literal(u8"行目「");
    for (std::size_t i = 0; i < problems.size() && i < listed; ++i) {
        const PaletteProblem& p = problems[i];
        lines += NumberText(static_cast<std::uint64_t>(p.line)) + where + ShownName(p.name)
            + Utf8Literal(u8"」：") + p.reason + "\n";
    }
    return lines + MoreLine(problems.size(), listed);
}

std::string RenameLines(const std::vector<PaletteRename>& renamed, std::size_t listed)
{
    std::string lines;
    for (std::size_t i = 0; i < renamed.size() && i < listed; ++i) {
        const PaletteRename& r = renamed[i];
        lines += NumberText(static_cast<std::uint64_t>(r.line)) + Utf8Literal(u8"行目「")
            + ShownName(r.before) + Utf8Literal(u8"」→「") + ShownName(Cp932ToUtf8(r.after))
            + Utf8Literal(u8"」\n");
    }
    return lines + MoreLine(renamed.size(), listed);
}

std::string ImportQuestion(const std::vector<PaletteRename>& renamed,
    const std::vector<PaletteProblem>& problems, std::size_t toStore)
{
    std::string text;
    if (!renamed.empty()) {
        text += Utf8Literal(u8"次の色は、名前に使えない文字を置き換えて読み込みます。\n")
            + RenameLines(renamed) + "\n";
    }
    if (!problems.empty()) {
        text += Utf8Literal(u8"次の色は読み込めません。\n") + ProblemLines(problems, false) + "\n";
        text += Utf8Literal(u8"残りの");
    }
    return text + NumberText(toStore) + Utf8Literal(u8"色を読み込みますか？");
}

std::string ImportDoneText(std::int32_t added, std::int32_t skipped)
{
    std::string text = added > 0 || skipped == 0
        ? NumberText(static_cast<std::uint64_t>(added)) + Utf8Literal(u8"色を読み込みました。")
        : Utf8Literal(u8"新しく読み込む色はありませんでした。");
    if (skipped > 0) {
        text += Utf8Literal(u8"すでに登録されている")
            + NumberText(static_cast<std::uint64_t>(skipped))
            + Utf8Literal(u8"色は読み込みませんでした。");
    }
    return text;
}

std::string ExportDoneText(
    std::size_t written, std::string_view path, const std::vector<PaletteProblem>& leftOut)
{
    std::string text =
        NumberText(written) + Utf8Literal(u8"色を書き出しました。\n") + ShownPath(path);
    if (!leftOut.empty()) {
        text += Utf8Literal(u8"\n\n次の項目は書き出していません。\n") + ProblemLines(leftOut, true);
    }
    return text;
}

std::string RefusedFileText(
    std::string_view path, const PaletteError& error, std::u8string_view outcome)
{
    std::string text = ShownPath(path);
    if (error.Line() > 0) {
        text += Utf8Literal(u8" の") + NumberText(static_cast<std::uint64_t>(error.Line()))
            + Utf8Literal(u8"行目");
    }
    return text + Utf8Literal(u8"：") + error.Reason() + Utf8Literal(u8"。") + Utf8Literal(outcome);
}

std::string RefusedFileLine(std::string_view path, std::int32_t line, std::string_view reason)
{
    std::string text = ShownPath(path);
    if (line > 0)
        text.append(":").append(std::to_string(line));
    return text + ": " + std::string(reason);
}
