#pragma once

#include <string>

// Palette files on disk: reading the one an import names, writing the one an export names.

/// The file's bytes, at most MaxPaletteBytes + 1 of them. Only a regular file is opened for
/// reading (a FIFO, a device, a socket or a folder is refused by what it is, and nothing blocks);
/// throws PaletteError "読み込めません（<reason>）" or "ファイルが大きすぎます（16MB まで）".
std::string ReadPaletteFile(const std::string& path);

/// Puts text in the file at path as WriteNamedFile does (no link followed in our code, a foreign
/// link in a shared folder refused); throws PaletteError "書き出せません（<reason>）" when it
/// cannot.
void WritePaletteFile(const std::string& path, const std::string& text);
