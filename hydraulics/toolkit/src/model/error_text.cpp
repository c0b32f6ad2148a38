#include "model/error_text.h"

namespace kvepa2 {

std::string errorText(int code) {
    switch (code) {
        case 0:
            return "";
        case 1:
            return "WARNING: System hydraulically unbalanced.";
        case 2:
            return "WARNING: System may be hydraulically unstable.";
        case 3:
            return "WARNING: System disconnected.";
        case 4:
            return "WARNING: Pumps cannot deliver enough flow or head.";
        case 5:
            return "WARNING: Valves cannot deliver enough flow.";
        case 6:
            return "WARNING: System has negative pressures.";
        case 101:
            return "insufficient memory available";
        case 102:
            return "no network data available";
        case 103:
            return "hydraulic solver not opened";
        case 104:
            return "no hydraulics for water quality analysis";
        case 105:
            return "water quality solver not opened";
        case 106:
            return "no results saved to report on";
        case 107:
            return "hydraulics supplied from external file";
        case 108:
            return "cannot use external file while hydraulics solver is active";
        case 110:
            return "cannot solve network hydraulic equations";
        case 120:
            return "cannot solve water quality transport equations";
        case 200:
            return "one or more errors in input file";
        case 201:
            return "syntax error";
        case 202:
            return "illegal numeric value";
        case 203:
            return "undefined node";
        case 204:
            return "undefined link";
        case 205:
            return "undefined time pattern";
        case 206:
            return "undefined curve";
        case 207:
            return "attempt to control CV/GPV link";
        case 208:
            return "illegal PDA pressure limits";
        case 209:
            return "illegal node property value";
        case 211:
            return "illegal link property value";
        case 212:
            return "undefined trace node";
        case 213:
            return "invalid option value";
        case 214:
            return "too many characters in input line";
        case 215:
            return "duplicate ID label";
        case 216:
            return "reference to undefined pump";
        case 217:
            return "pump has no head curve or power defined";
        case 219:
            return "illegal valve connection to tank node";
        case 220:
            return "illegal valve connection to another valve";
        case 221:
            return "misplaced rule clause in rule-based control";
        case 222:
            return "same start and end nodes for link";
        case 223:
            return "not enough nodes in network";
        case 224:
            return "no tanks or reservoirs in network";
        case 225:
            return "invalid lower/upper levels for tank node";
        case 226:
            return "no head curve or power rating for pump";
        case 227:
            return "invalid head curve for pump";
        case 230:
            return "nonincreasing x-values for curve";
        case 233:
            return "network has unconnected nodes";
        case 234:
            return "network has an unconnected node with ID:";
        case 240:
            return "nonexistent water quality source";
        case 241:
            return "nonexistent control";
        case 299:
            return "invalid section keyword";
        case 250:
            return "invalid format";
        case 251:
            return "invalid parameter code";
        case 252:
            return "invalid ID name";
        case 253:
            return "nonexistent demand category";
        case 254:
            return "node with no coordinates";
        case 257:
            return "nonexistent rule";
        case 258:
            return "nonexistent rule clause";
        case 259:
            return "attempt to delete a node that still has links connected to it";
        case 261:
            return "attempt to delete a node or link contained in a control";
        case 262:
            return "attempt to modify network structure while a solver is open";
        case 263:
            return "node is not a tank";
        case 301:
            return "identical file names used for different types of files";
        case 302:
            return "cannot open input file";
        case 303:
            return "cannot open report file";
        case 304:
            return "cannot open binary output file";
        case 305:
            return "cannot open hydraulics file";
        case 306:
            return "hydraulics file does not match network data";
        case 307:
            return "cannot read hydraulics file";
        case 308:
            return "cannot save results to binary file";
        case 309:
            return "cannot save results to report file";
        default:
            return "";
    }
}

}  // namespace kvepa2
