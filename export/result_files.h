// The results list as a file: semicolon-separated values or the Data
// Interchange Format, the bytes a text-mode stream of the platform stores
// (every line, the last one too, ends with CR LF). No byte-order mark, no
// quoting, no escaping: cells go out as the list holds them.
#pragma once

#include <string>

#include "export/result_table.h"

namespace ionsift {

// File types in the order of the save dialog's filter (1-based).
enum class ResultFileType { Csv = 1, Dif = 2 };

// Title line, then one line per row with the texts it holds; cells
// separated by "; ".
std::string CsvText(const ResultTable& table);

// Header (TABLE, VECTORS = texts the first row holds, TUPLES = rows + 1,
// DATA), the title tuple, one tuple per row (the mass as a numeric value, the
// further texts it holds as strings), "EOD".
std::string DifText(const ResultTable& table);

// The file of the save dialog's file type: index 1 CSV, 2 DIF. False, with
// `text` untouched, for any other index.
bool ResultFileText(int filterIndex, const ResultTable& table, std::string& text);

// "\n" becomes "\r\n", as the platform's text-mode streams write it.
std::string ToTextModeLineEnds(const std::string& text);

}  // namespace ionsift
