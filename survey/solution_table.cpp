// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/solution_table.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>

#include "records/file_writer.h"
#include "records/table_text.h"

namespace quillmar::survey {
namespace {

constexpr std::string_view kHeader = "point;N;E;Elev;station;method;dN;dE;dElev;collimation;index;row;pairRow\r\n";

void appendNumber(std::string& line, const std::optional<double>& value) {
  if (value) AppendFixed(line, *value, 4);
}

// Each value with the separator after it; an empty field for no value.
void appendNumbers(std::string& line, std::initializer_list<std::optional<double>> values) {
  for (const std::optional<double>& value : values) {
    appendNumber(line, value);
    line.push_back(';');
  }
}

// Rows as the list numbers them, from 1.
void appendRow(std::string& line, std::optional<std::uint32_t> row) {
  if (row) line.append(std::to_string(std::uint64_t{*row} + 1));
}

}  // namespace

void WriteSolutionTable(ByteSink& out, const Results& results) {
  out.write(kHeader);
  std::string line;
  auto pair = results.pairs.begin();
  for (const Solution& solution : results.solutions) {
    line.clear();
    AppendTableField(line, solution.point);
    line.push_back(';');
    appendNumbers(line, {solution.north, solution.east, solution.elevation});
    AppendTableField(line, solution.station);
    line.push_back(';');
    line.append(MethodWord(solution.method)).push_back(';');
    appendNumbers(line, {solution.dNorth, solution.dEast, solution.dElevation});
    // Both lists are in row order: the pair of a solution is found walking along.
    if (solution.pairRow) {
      while (pair != results.pairs.end() && pair->row1 < solution.row) ++pair;
    }
    if (solution.pairRow && pair != results.pairs.end() && pair->row1 == solution.row)
      appendNumbers(line, {pair->collimation, pair->index});
    else
      line.append(";;");
    appendRow(line, solution.row);
    line.push_back(';');
    appendRow(line, solution.pairRow);
    line.append("\r\n");
    out.write(line);
  }
}

void SolutionTableToFile(const std::string& path, const Results& results) {
  FileWriter file(path);
  WriteSolutionTable(file, results);
  file.commit();
}

}  // namespace quillmar::survey
