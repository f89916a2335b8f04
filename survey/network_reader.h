// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The walk over the book's rows that makes the network: the computation's
// own piece, not for other libraries.

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/record_layout.h"
#include "survey/network.h"

namespace quillmar::survey::detail {

// An angle of the book in radians.
double radiansOf(double angle, double fullCircle);
// x reduced to [0, full).
double reducedAngle(double x, double full);
// x reduced to (-full/2, full/2].
double centredAngle(double x, double full);

enum class Face : std::uint8_t { Left, Right, Single };

// One 09 as read, in the book's unit, before it is paired or reduced.
struct Reading {
  std::uint32_t row = 0;
  PointId target = 0;
  Face face = Face::Single;
  SightKind kind = SightKind::Circle;
  double horizontal = 0;         // clockwise; face right as read
  std::optional<double> zenith;  // from the zenith, as the face read it
  std::optional<double> slope;
};

class NetworkReader {
 public:
  NetworkReader(const RecordList& list, std::size_t rows) : list_(list), rows_(rows) {}
  Network read();

 private:
  struct Waiting {
    Reading reading;
    std::uint32_t sight = kNoIndex;  // its sight, kNoIndex when it gave none
    bool paired = false;
  };

  void take(std::uint32_t row);
  void conventionsRecord(std::uint32_t row, std::string_view line);
  void scale(std::uint32_t row, std::string_view line, char version);
  void station(std::uint32_t row, std::string_view line, char version);
  void backsight(std::uint32_t row, std::string_view line, char version);
  void position(std::uint32_t row, std::string_view line, char version, bool station);
  void observation(std::uint32_t row, std::string_view line, char version);
  void reducedObservation(std::uint32_t row, std::string_view line, char version);

  std::optional<Reading> readingOf(std::uint32_t row, std::string_view line, char version, SightKind kind, Face face);
  void faceRight(const Reading& right);
  // A reading as face left of its own: a sight, or nothing when it has no use.
  std::optional<Sight> sightOf(const Reading& reading, std::optional<double> slope) const;
  std::uint32_t addSight(Sight sight);

  PointId idOf(std::string_view name);
  void use(PointId point, std::uint32_t row);
  void fail(std::uint32_t row, Failure reason) { network_.failures.push_back({row, reason}); }
  void newConventions() { network_.conventions.push_back(conventions_); }
  double full() const { return conventions_.fullCircle; }
  void markInserted();

  const RecordList& list_;
  std::size_t rows_;
  Network network_;
  BookConventions conventions_;
  double scale_ = 1.0;
  double targetHeight_ = 0;
  bool sdr_ = false;
  std::unordered_map<PointId, Waiting> waiting_;  // face lefts of the set-up by target
  std::vector<std::uint32_t> lastUse_;            // by PointId: the last row that used it
  std::vector<Recorded> inserted_;                // 08s that may have come from the computation
  std::vector<PointId> insertedPoints_;
};

}  // namespace quillmar::survey::detail
