// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-cli: converts and transfers field books from scripts, on the same
// core as the desktop program.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/adjust_command.h"
#include "cli/compute_command.h"
#include "cli/export_command.h"
#include "cli/transfer_commands.h"
#include "records/file_writer.h"
#ifdef QUILLMAR_HAVE_GIS
#include "gis/staged_files.h"
#endif

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  quillmar-cli export captions|obs|pos|sdr|qdl IN OUT\n"
#ifdef QUILLMAR_HAVE_GIS
    "  quillmar-cli export gpkg|shp|dxf|geojson|kml|pnezd IN OUT [--crs CRS] [--layers points,stations,sight_lines]\n"
    "      [--adjust]  (adjust the book: sN, sE, sElev of the points in mm)\n"
#endif
    "  quillmar-cli receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                               [--flow none|rtscts|xonxoff] [--timeout SEC]\n"
    "  quillmar-cli send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                            [--flow none|rtscts|xonxoff] [--line-pause MS] [--timeout SEC]\n"
    "  quillmar-cli compute IN OUT [--free NAMES] [--fixed NAMES]\n"
    "  quillmar-cli adjust IN OUT [--free NAMES] [--fixed NAMES] [--sigma-direction SEC]\n"
    "                             [--sigma-distance MM,PPM] [--sigma-zenith SEC] [--residuals FILE]\n"
    "  quillmar-cli --help | --version\n"
    "\n"
    "--baud: 300 600 1200 2400 4800 (default) 9600 19200 38400 57600 115200\n"
    "--bits: 7 or 8 (default); --stop: ONESTOPBIT (default) or TWOSTOPBIT;\n"
    "--parity: NOPARITY (default), EVENPARITY, ODDPARITY or MARKPARITY. Any other\n"
    "text is a usage error, as is an option given twice.\n"
    "--flow: none (default) leaves the port's flow control as it is; rtscts and\n"
    "xonxoff replace it. --line-pause: 0..1000 ms after each line sent (default 0).\n"
    "--timeout SEC: give up after SEC seconds (above 0; at most 30 days) in which\n"
    "nothing arrives (receive) or nothing more leaves the port (send). Without it\n"
    "they wait until Ctrl-C; send says every few seconds when the instrument holds\n"
    "the transfer. A reception that receives nothing leaves OUT as it was.\n"
    "send leaves out records whose line begins with STX or ETX (the frame of a\n"
    "received book): it frames the upload itself.\n"
    "\n"
    "compute: OUT gets one row per solution of every observed point, in\n"
    "Windows-1251 with CR LF: point;N;E;Elev;station;method;dN;dE;dElev;\n"
    "collimation;index;row;pairRow (method: polar, azimuth, reduced, check,\n"
    "free-station, resection or intersection; d* of check shots: computed minus\n"
    "recorded). Stations are placed as free stations or by resection, targets\n"
    "by intersection too. Observations that gave no point are listed on stderr\n"
    "with their row and reason, then the counts. --free A,B computes recorded\n"
    "points from the observations; --fixed A,B keeps their recorded coordinates.\n"
    "\n"
    "adjust: a least-squares adjustment of the whole book (directions, azimuths,\n"
    "distances; heights apart), control points fixed (--free and --fixed: comma-\n"
    "separated names). A priori: --sigma-direction 3 (arc seconds, also for\n"
    "azimuths), --sigma-distance 2,2 (mm + ppm), --sigma-zenith 3 (arc seconds).\n"
    "OUT gets one row per point: point;N;E;Elev;sN;sE;sElev;a;b;bearing;role\n"
    "(sN..b in mm, the bearing of the ellipse's a in the book's angle unit, role\n"
    "fixed or adjusted). --residuals FILE: one row per observation:\n"
    "row;station;target;kind;observed;residual;standardized;redundancy (residuals\n"
    "of angles in seconds, cc in a gon book, mils in a mil book; of lengths in mm).\n"
    "stderr: what could not be adjusted and why, then m0', the redundancy, the\n"
    "chi-square test at 95 % and the suspected blunder with its row (one of the\n"
    "plane, one of the heights).\n"
    "\n"
    "Exit status: 0 done; 1 a file or port failure (the message names the file);\n"
    "2 a usage error, or OUT is IN itself (by any name or link); 3 receive: the transmission ended before its end "
    "mark, OUT\n"
    "holds the records that arrived.\n"
#ifdef QUILLMAR_HAVE_GIS
    "\n"
    "CAD/GIS kinds: the points, set-ups and sight lines. CRS is an EPSG code\n"
    "(EPSG:28404) or a PROJ string; geojson and kml need it (they hold WGS 84\n"
    "longitude and latitude). shp and geojson write OUT's name + _points,\n"
    "_stations, _sight_lines.\n"
#endif
    ;

// An interrupted write leaves OUT as it was: the handler undoes the disk's
// side of it, then the signal ends the program as it would have.
extern "C" void abandonWriteAndStop(int signal) {
  quillmar::abandonWriteInProgress();
#ifdef QUILLMAR_HAVE_GIS
  quillmar::gis::abandonStagedFilesInProgress();
#endif
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void undoWritesOnInterrupt() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, abandonWriteAndStop);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "--version") {
    std::cout << "quillmar-cli " << QUILLMAR_VERSION << "\n";
    return 0;
  }
  undoWritesOnInterrupt();
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "export") return quillmar::cli::runExport(args);
  if (command == "receive") return quillmar::cli::runReceive(args);
  if (command == "send") return quillmar::cli::runSend(args);
  if (command == "compute") return quillmar::cli::runCompute(args);
  if (command == "adjust") return quillmar::cli::runAdjust(args);
  std::cerr << kUsage;
  return 2;
}
