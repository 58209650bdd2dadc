#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/palette_error.h"
#include "settings/palette_import_plan.h"

// The palette texts that the window's boxes and the command line both show, in UTF-8: they quote
// the palette's own names, which the settings file's code page may not hold.

/// text as a message quotes it: control characters (and the marks that turn text around) as
/// "<U+001B>", a byte that is not UTF-8 as U+FFFD, and at most maxCharacters characters, the rest
/// as "…" (or, with keepEnd, the first characters as "…", so that a path keeps its file name).
std::string ShownText(std::string_view text, std::size_t maxCharacters, bool keepEnd = false);

/// A colour's name as a message quotes it: at most 40 characters.
std::string ShownName(std::string_view utf8);

/// A path as a message names it: at most 80 characters, its end kept.
std::string ShownPath(std::string_view path);

/// At most this many problems or renamed colours are listed in a box; the rest are counted.
inline constexpr std::size_t ListedInBox = 20;

/// One line per problem: "5行目「name」：reason", with "番目" for the entries of the settings file;
/// after `listed` of them, "ほか3件".
std::string ProblemLines(const std::vector<PaletteProblem>& problems, bool storedEntries,
    std::size_t listed = ListedInBox);

/// One line per renamed colour: "2行目「café」→「cafe」"; after `listed` of them, "ほか3件".
std::string RenameLines(
    const std::vector<PaletteRename>& renamed, std::size_t listed = ListedInBox);

/// The question the window asks before an import that renames or leaves out colours; toStore is
/// how many it would store.
std::string ImportQuestion(const std::vector<PaletteRename>& renamed,
    const std::vector<PaletteProblem>& problems, std::size_t toStore);

/// What an import did: "3色を読み込みました。", the colours stored already counted after it.
std::string ImportDoneText(std::int32_t added, std::int32_t skipped);

/// What an export did: "3色を書き出しました。" and the path, then the entries left out.
std::string ExportDoneText(
    std::size_t written, std::string_view path, const std::vector<PaletteProblem>& leftOut);

/// A refused file in a box: "F の5行目：reason。" or "F：reason。", then outcome (a sentence).
std::string RefusedFileText(
    std::string_view path, const PaletteError& error, std::u8string_view outcome);

/// The error line of the command line, without "tintora: ": "F:5: reason" or "F: reason".
std::string RefusedFileLine(std::string_view path, std::int32_t line, std::string_view reason);
